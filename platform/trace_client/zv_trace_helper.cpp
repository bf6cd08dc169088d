#include "platform/trace_client/zv_trace_helper.h"

#include "platform/basalt/zv_assert.h"

CZvTraceHelper* CZvTraceHelper::spThis = nullptr;

CZvTraceHelper::CZvTraceHelper(const char* processName) : mProcessName(processName) {
  if (spThis != nullptr) ZV_FATAL("a second CZvTraceHelper was created");
  spThis = this;
}

CZvTraceHelper::~CZvTraceHelper() {
  if (spThis == this) spThis = nullptr;
}
