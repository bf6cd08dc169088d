// The toolkit of process utilities exported with the plug-in. Functions that
// can fail return 0 on success and an errno value otherwise; output pointers
// must not be null (a null one is a fatal assertion).
#ifndef MEMGAUGE_TOOLKIT_TOOLKIT_H
#define MEMGAUGE_TOOLKIT_TOOLKIT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

// Returned when a caller's buffer is too small; kept at the value callers of
// this toolkit have always checked for.
#define ZV_TBOX_BUFFER_TOO_SMALL 79
// Processes with more threads than this are skipped.
#define ZV_TBOX_MAX_THREADS 500
#define ZV_TBOX_NAME_SIZE 256

// Memory of the machine in bytes (free: see memory_info.cpp for which figure).
int _tbox_get_free_mem(int64_t* bytes);
int _tbox_get_total_mem(int64_t* bytes);

// Adaptive partitions do not exist on this system: these always fail (ENOSYS)
// and write their error line to the system log.
int _tbox_get_partitionid_by_name(const char* name, int* partition_id);
int _tbox_get_name_by_partitionid(int partition_id, char* name, size_t size);
int _tbox_get_number_of_partitions(int* count);

typedef struct SZvProcessInfo {
  int32_t pid;
  int32_t parent_pid;
  int32_t num_threads;
  char state;                   // as in /proc/<pid>/stat: R, S, D, Z, ...
  uint64_t virtual_bytes;
  uint64_t resident_bytes;
  uint64_t user_time_ns;
  uint64_t system_time_ns;
  char name[ZV_TBOX_NAME_SIZE];
} SZvProcessInfo;

typedef struct SZvPageMapping {
  uint64_t start;
  uint64_t end;
  uint64_t offset;
  char perms[5];  // "r-xp"
} SZvPageMapping;

typedef struct SZvSharedObject {
  uint64_t base;  // lowest address the object is mapped at
  char name[ZV_TBOX_NAME_SIZE];
} SZvSharedObject;

int _tbox_get_process_info(int pid, SZvProcessInfo* info);
int _tbox_get_number_of_threads(int pid, int* count);
int _tbox_get_num_page_mappings(int pid, int* count);
// Fills up to `capacity` mappings; *count gets how many exist.
int _tbox_get_page_mappings(int pid, SZvPageMapping* mappings, int capacity, int* count);

int _tbox_get_sharedobject_mappings(int pid, SZvSharedObject* objects, int capacity, int* count);
// Lines "<name> 0x<address>\n"; ZV_TBOX_BUFFER_TOO_SMALL when they do not fit.
int _tbox_sharedobject_mappings_fillbuffer(int pid, char* buffer, size_t size);
int _tbox_dump_sharedobject_mappings(int pid);
int _tbox_dump_sharedobject_mappings_file(int pid, FILE* file);
int _tbox_dump_sharedobject_mappings_file_and_toolid(int pid, FILE* file, int tool_id);

// "not_available" when the name cannot be read (and ENOENT is returned).
int _tbox_get_name_for_pid(int pid, char* name, size_t size);
// Names are compared without their directories.
int _tbox_get_pid_for_name(const char* name, int* pid);
// `arguments`: the arguments after the program name, joined by blanks.
int _tbox_get_pid_for_name_and_args(const char* name, const char* arguments, int* pid);
int _tbox_get_process_arguments(int pid, char* buffer, size_t size);
int _tbox_fill_info(int pid, SZvProcessInfo* info);
int _tbox_fill_name(int pid, SZvProcessInfo* info);

// Raw dump of the calling thread's stack followed by the shared objects.
int _tbox_doStackBacktrace(const char* from);
int _tbox_doStackBacktrace_file(FILE* file, const char* from);
int _tbox_doStackBacktrace_file_and_toolid(FILE* file, const char* from, int tool_id);
// CRC-32 with the IEEE 802.3 polynomial, as the dump uses it.
uint32_t _tbox_crc32(const void* data, size_t length);

// In place; return `text`.
char* _tbox_trim(char* text);
char* _tbox_trim_leading_whitespaces(char* text);
char* _tbox_trim_trailing_whitespaces(char* text);

// getsubopt(3): splits "name=value,..." one suboption per call.
int _tbox_getsubopt(char** options, char* const* tokens, char** value);

// getopt(3) with its state in a record, so tools on different threads do not
// share it. Start with ZV_TBOX_GETOPT_INIT.
typedef struct SZvGetoptState {
  int optind;
  int opterr;
  int optopt;
  char* optarg;
  int next_char;  // position inside a group like "-qt"
} SZvGetoptState;
#define ZV_TBOX_GETOPT_INIT {1, 1, 0, NULL, 0}
int _tbox_getopt(int argc, char* const argv[], const char* optstring, SZvGetoptState* state);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // MEMGAUGE_TOOLKIT_TOOLKIT_H
