// Umbrella header of the communication library (log lines, named channels, PNG images, dynamic loading).
#ifndef PLATFORM_COMMUNICATION_COMMUNICATION_H
#define PLATFORM_COMMUNICATION_COMMUNICATION_H

#endif  // PLATFORM_COMMUNICATION_COMMUNICATION_H
