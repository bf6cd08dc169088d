#include <gtest/gtest.h>

#include <thread>

#include "fbkit/client/most_config.h"
#include "fbkit/client/most_config_manager.h"

namespace {

TEST(ConfigManagerTest, EqualMethodRecordsAreSharedAndTheLastReleaseEndsTheManager) {
  CZvMOSTConfigManager* manager = CZvMOSTConfigManager::getCurrent();
  const CZvLogFuncBaseConfig* first = manager->getDefaultMethodConfig(true);
  const CZvLogFuncBaseConfig* second = manager->getDefaultMethodConfig(true);
  ASSERT_EQ(first, second);
  EXPECT_EQ(first->useCount, 2);
  EXPECT_EQ(manager->logFuncConfigCount(), 1u);

  manager->releaseConfig(first);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), manager);
  EXPECT_EQ(second->useCount, 1);
  manager->releaseConfig(second);
  // No record of either kind is left: the manager is gone.
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
  CZvMOSTConfigManager* fresh = CZvMOSTConfigManager::getCurrent();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->logFuncConfigCount(), 0u);
  // Leave the thread as found: a release of nothing ends the empty manager.
  fresh->releaseConfig(nullptr);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
}

TEST(ConfigManagerTest, ManagerStaysWhileAnyRecordOfEitherKindIsUsed) {
  CZvMOSTConfigManager* manager = CZvMOSTConfigManager::getCurrent();
  const CZvFunctionBaseConfig* device = manager->getDefaultDevicePropertyConfig();
  const CZvLogFuncBaseConfig* property = manager->getDefaultPropertyConfig();
  manager->releaseConfig(property);
  ASSERT_EQ(CZvMOSTConfigManager::peekCurrent(), manager);
  manager->releaseFunctionConfig(device);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
}

TEST(ConfigManagerTest, SettingATimeoutSharesOrKeepsRecords) {
  CZvMOSTConfigManager* manager = CZvMOSTConfigManager::getCurrent();
  const CZvLogFuncBaseConfig* a = manager->getDefaultPropertyConfig();
  const CZvLogFuncBaseConfig* b = manager->getDefaultPropertyConfig();
  const CZvLogFuncBaseConfig* original = a;

  // The current value changes nothing.
  manager->setStatusTimeout(a, a->statusTimeout);
  EXPECT_EQ(a, original);
  EXPECT_EQ(a->useCount, 2);

  // A new value moves a to a record of its own; b keeps the old one.
  manager->setStatusTimeout(a, 1234);
  EXPECT_NE(a, original);
  EXPECT_EQ(a->statusTimeout, 1234u);
  EXPECT_EQ(b->useCount, 1);
  EXPECT_EQ(manager->logFuncConfigCount(), 2u);

  // Setting b to the same value joins a's record and frees the old one.
  manager->setStatusTimeout(b, 1234);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->useCount, 2);
  EXPECT_EQ(manager->logFuncConfigCount(), 1u);

  manager->releaseConfig(a);
  manager->releaseConfig(b);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
}

TEST(ConfigManagerTest, ReplacingARecordWithItselfIsSafe) {
  CZvMOSTConfigManager* manager = CZvMOSTConfigManager::getCurrent();
  const CZvFunctionBaseConfig* record = manager->createFunctionConfig(500, 3);
  // The only user hands in its own record as the new values: the values
  // must survive the release of the old record.
  manager->replaceFunctionConfig(*record, record);
  EXPECT_EQ(record->transmissionTimeout, 500u);
  EXPECT_EQ(record->transmissionTryMax, 3);
  EXPECT_EQ(record->useCount, 1);
  manager->setDeviceTransmissionErrorTimeout(record, 700);
  EXPECT_EQ(record->transmissionTimeout, 700u);
  EXPECT_EQ(manager->functionConfigCount(), 1u);
  manager->releaseFunctionConfig(record);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
}

TEST(ConfigManagerTest, DefaultRecordsFollowTheConfiguration) {
  const CZvMOSTConfig& config = ZvSystemConfig::getMOSTConfig();
  CZvMOSTConfigManager* manager = CZvMOSTConfigManager::getCurrent();
  const CZvLogFuncBaseConfig* property = manager->getDefaultPropertyConfig();
  const CZvLogFuncBaseConfig* method = manager->getDefaultMethodConfig(true);
  const CZvLogFuncBaseConfig* plain = manager->getDefaultMethodConfig(false);

  EXPECT_EQ(property->notificationTimeout, config.getNotificationTimeOut());
  EXPECT_EQ(property->statusTimeout, config.getStatusRequiredTimeOut());
  EXPECT_EQ(property->getTryMax, config.getGetTryMax());
  EXPECT_EQ(property->processingTimeout, 0u);
  EXPECT_EQ(property->abortTimeout, 0u);

  EXPECT_EQ(method->processingTimeout, config.getProcessingTimeOut());
  EXPECT_EQ(method->processing2Timeout, config.getProcessing2TimeOut());
  EXPECT_EQ(method->paramWrongTryMax, config.getParamWrongTryMax());
  EXPECT_EQ(method->resultTryMax, config.getResultTryMax());

  EXPECT_EQ(plain->paramWrongTryMax, 0);
  EXPECT_EQ(plain->paramNotAvailableTimeout, 0u);
  EXPECT_EQ(plain->processingTimeout, 0u);
  EXPECT_EQ(plain->busyTimeout, config.getBusyTimeOut());
  // The property record used as a template is not left with an extra user.
  EXPECT_EQ(property->useCount, 1);
  EXPECT_EQ(manager->logFuncConfigCount(), 3u);

  manager->releaseConfig(property);
  manager->releaseConfig(method);
  manager->releaseConfig(plain);
  EXPECT_EQ(CZvMOSTConfigManager::peekCurrent(), nullptr);
}

TEST(ConfigManagerTest, EveryThreadHasItsOwnManager) {
  CZvMOSTConfigManager* mine = CZvMOSTConfigManager::getCurrent();
  const CZvFunctionBaseConfig* record = mine->createFunctionConfig(1, 1);
  CZvMOSTConfigManager* other = nullptr;
  std::thread([&other] {
    CZvMOSTConfigManager* m = CZvMOSTConfigManager::getCurrent();
    other = m;
    m->releaseFunctionConfig(m->createFunctionConfig(1, 1));
  }).join();
  EXPECT_NE(other, mine);
  EXPECT_EQ(record->useCount, 1);
  mine->releaseFunctionConfig(record);
}

TEST(ConfigRecordsTest, OrderingComparesValuesInFieldOrderAndIgnoresUseCount) {
  CZvLogFuncBaseConfig a;
  CZvLogFuncBaseConfig b;
  b.useCount = 5;
  EXPECT_EQ(a, b);
  b.resultTryMax = 1;  // the last value
  EXPECT_LT(a, b);
  a.notificationTimeout = 1;  // the first value outweighs every later one
  EXPECT_LT(b, a);
  EXPECT_LT(CZvFunctionBaseConfig(1, 9), CZvFunctionBaseConfig(2, 0));
  EXPECT_LT(CZvFunctionBaseConfig(1, 0), CZvFunctionBaseConfig(1, 1));
}

}  // namespace
