#include "fbkit/client/most_config.h"

#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

namespace {

struct Getter {
  const char* name;
  std::function<int64_t(const CZvMOSTConfig&)> get;
  int64_t base;
  int64_t project;
};

TEST(MOSTConfig, DefaultsOfBaseAndProjectConfiguration) {
  const Getter getters[] = {
      {"NotificationTimeOut", [](const CZvMOSTConfig& c) { return c.getNotificationTimeOut(); }, 1000, 2500},
      {"NotificationTryMax", [](const CZvMOSTConfig& c) { return c.getNotificationTryMax(); }, 4, 3},
      {"StatusRequiredTimeOut", [](const CZvMOSTConfig& c) { return c.getStatusRequiredTimeOut(); }, 5000, 5000},
      {"ResultRequiredTimeOut", [](const CZvMOSTConfig& c) { return c.getResultRequiredTimeOut(); }, 10000, 10000},
      {"ProcessingTimeOut", [](const CZvMOSTConfig& c) { return c.getProcessingTimeOut(); }, 100, 1000},
      {"Processing2TimeOut", [](const CZvMOSTConfig& c) { return c.getProcessing2TimeOut(); }, 100, 100},
      {"SendProcessingTimeOut", [](const CZvMOSTConfig& c) { return c.getSendProcessingTimeOut(); }, 90, 100},
      {"SendProcessing2TimeOut", [](const CZvMOSTConfig& c) { return c.getSendProcessing2TimeOut(); }, 90, 90},
      {"InstAnyHandling", [](const CZvMOSTConfig& c) { return c.getInstAnyHandling(); }, 0, 1},
      {"BusyTimeOut", [](const CZvMOSTConfig& c) { return c.getBusyTimeOut(); }, 1000, 200},
      {"BusyTryMax", [](const CZvMOSTConfig& c) { return c.getBusyTryMax(); }, 4, 3},
      {"NotAvailableTimeOut", [](const CZvMOSTConfig& c) { return c.getNotAvailableTimeOut(); }, 1000, 1000},
      {"NotAvailableTryMax", [](const CZvMOSTConfig& c) { return c.getNotAvailableTryMax(); }, 4, 4},
      {"ProcessingErrorTimeOut", [](const CZvMOSTConfig& c) { return c.getProcessingErrorTimeOut(); }, 1000, 1000},
      {"ProcessingErrorTryMax", [](const CZvMOSTConfig& c) { return c.getProcessingErrorTryMax(); }, 4, 4},
      {"ParamNotAvailableTimeOut", [](const CZvMOSTConfig& c) { return c.getParamNotAvailableTimeOut(); }, 1000, 1000},
      {"ParamNotAvailableTryMax", [](const CZvMOSTConfig& c) { return c.getParamNotAvailableTryMax(); }, 4, 4},
      {"ParamWrongTimeOut", [](const CZvMOSTConfig& c) { return c.getParamWrongTimeOut(); }, 1000, 1000},
      {"ParamWrongTryMax", [](const CZvMOSTConfig& c) { return c.getParamWrongTryMax(); }, 4, 4},
      {"TransmissionTimeOut", [](const CZvMOSTConfig& c) { return c.getTransmissionTimeOut(); }, 1000, 1000},
      {"TransmissionTryMax", [](const CZvMOSTConfig& c) { return c.getTransmissionTryMax(); }, 4, 4},
      {"GetTimeOut", [](const CZvMOSTConfig& c) { return c.getGetTimeOut(); }, 1000, 1000},
      {"GetTryMax", [](const CZvMOSTConfig& c) { return c.getGetTryMax(); }, 4, 4},
      {"SendMessageToUnconnectedLogdev", [](const CZvMOSTConfig& c) { return c.getSendMessageToUnconnectedLogdev(); }, 0, 0},
      {"ParameterHandling", [](const CZvMOSTConfig& c) { return c.getParameterHandling(); }, 0, 0},
      {"destroyInternalArrayWindowsOnNetOff", [](const CZvMOSTConfig& c) { return c.destroyInternalArrayWindowsOnNetOff(); }, 1, 1},
      {"activateDeviceOnIncomingMessage", [](const CZvMOSTConfig& c) { return c.activateDeviceOnIncomingMessage(); }, 1, 1},
      {"OPtypeTimeOut", [](const CZvMOSTConfig& c) { return c.getOPtypeTimeOut(); }, 0, 0},
      {"OPtypeTryMax", [](const CZvMOSTConfig& c) { return c.getOPtypeTryMax(); }, 0, 0},
      {"LengthTimeOut", [](const CZvMOSTConfig& c) { return c.getLengthTimeOut(); }, 0, 0},
      {"LengthTryMax", [](const CZvMOSTConfig& c) { return c.getLengthTryMax(); }, 0, 0},
      {"SegmentationTimeOut", [](const CZvMOSTConfig& c) { return c.getSegmentationTimeOut(); }, 0, 0},
      {"SegmentationTryMax", [](const CZvMOSTConfig& c) { return c.getSegmentationTryMax(); }, 0, 0},
      {"FktIdNotAvailableTimeOut", [](const CZvMOSTConfig& c) { return c.getFktIdNotAvailableTimeOut(); }, 0, 0},
      {"FktIdNotAvailableTryMax", [](const CZvMOSTConfig& c) { return c.getFktIdNotAvailableTryMax(); }, 0, 0},
      {"FuncSpecificTimeOut", [](const CZvMOSTConfig& c) { return c.getFuncSpecificTimeOut(); }, 0, 0},
      {"FuncSpecificTryMax", [](const CZvMOSTConfig& c) { return c.getFuncSpecificTryMax(); }, 0, 0},
      {"AbortTimeOut", [](const CZvMOSTConfig& c) { return c.getAbortTimeOut(); }, 0, 0},
      {"AbortTryMax", [](const CZvMOSTConfig& c) { return c.getAbortTryMax(); }, 0, 0},
      {"ResultTryMax", [](const CZvMOSTConfig& c) { return c.getResultTryMax(); }, 0, 0},
      {"WaitForAbort", [](const CZvMOSTConfig& c) { return c.getWaitForAbort(); }, 0, 0},
      {"MOSTSpecVersion", [](const CZvMOSTConfig& c) { return c.getMOSTSpecVersion(); }, 1, 0},
      {"AutoProcessingMode", [](const CZvMOSTConfig& c) { return c.getAutoProcessingMode(); }, 0, 0},
      {"isUnwantedFunktion", [](const CZvMOSTConfig& c) { return c.isUnwantedFunktion(0x22, 0xC80); }, 0, 0},
  };
  const CZvMOSTConfig base;
  const CZvMOSTPrjConfig project;
  const CZvMOSTConfig& process = ZvSystemConfig::getMOSTConfig();
  for (const Getter& g : getters) {
    SCOPED_TRACE(g.name);
    EXPECT_EQ(g.base, g.get(base));
    EXPECT_EQ(g.project, g.get(project));
    // The process runs with the project configuration.
    EXPECT_EQ(g.project, g.get(process));
  }
}

TEST(MOSTConfig, ProjectNonConstGettersAnswerLikeTheConstOnes) {
  CZvMOSTPrjConfig project;
  EXPECT_EQ(2500u, project.getNotificationTimeOut());
  EXPECT_EQ(3, project.getNotificationTryMax());
  EXPECT_EQ(1000u, project.getProcessingTimeOut());
  EXPECT_EQ(100u, project.getSendProcessingTimeOut());
  EXPECT_EQ(200u, project.getBusyTimeOut());
  EXPECT_EQ(3, project.getBusyTryMax());
}

TEST(MOSTConfig, ClassConstantsMatchTheBaseDefaults) {
  const CZvMOSTConfig base;
  EXPECT_EQ(CZvMOSTConfig::DEFAULT_NOTIFICATION_TIMEOUT, base.getNotificationTimeOut());
  EXPECT_EQ(CZvMOSTConfig::DEFAULT_STATUS_REQUIRED_TIMEOUT, base.getStatusRequiredTimeOut());
  EXPECT_EQ(CZvMOSTConfig::DEFAULT_TRANSMISSION_CONTROL_TRYMAX, base.getTransmissionTryMax());
  EXPECT_EQ(1000u, CZvMOSTConfig::DEFAULT_ABORT_TIMEOUT);
  EXPECT_EQ(4, CZvMOSTConfig::DEFAULT_GET_BUSY_TRYMAX);
}

TEST(MOSTConfig, AutoProcessingModes) {
  using namespace ZvMOSTTypes;
  const struct {
    eAutoProcessingMode mode;
    bool send;
    bool check;
  } cases[] = {{AUTO_PROCESSING_NONE, false, false},
               {AUTO_PROCESSING_SEND, true, false},
               {AUTO_PROCESSING_CHECK, false, true},
               {AUTO_PROCESSING_SEND_AND_CHECK, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(c.send, isSendProcessingEnabled(c.mode));
    EXPECT_EQ(c.check, isCheckProcessingEnabled(c.mode));
  }
}

class CAppConfig : public CZvMOSTPrjConfig {
 public:
  int32_t getParameterHandling() const override { return 1; }
};

TEST(MOSTConfig, AnApplicationConfigurationCanBeInstalled) {
  CAppConfig app;
  const CZvMOSTConfig* builtIn = &ZvSystemConfig::getMOSTConfig();
  ZvSystemConfig::setMOSTConfig(&app);
  EXPECT_EQ(1, ZvSystemConfig::getMOSTConfig().getParameterHandling());
  ZvSystemConfig::setMOSTConfig(nullptr);
  EXPECT_EQ(builtIn, &ZvSystemConfig::getMOSTConfig());
  EXPECT_EQ(0, ZvSystemConfig::getMOSTConfig().getParameterHandling());
}

}  // namespace
