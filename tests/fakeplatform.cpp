#include "tests/fakeplatform.h"

#include "platform/qtplatform.h"

ProcessResult FakePlatform::runProcess(const ProcessRequest& request)
{
    processes << request;
    if (processResponder)
        return processResponder(request);
    if (runsRealProcesses)
        return QtPlatform().runProcess(request);
    ProcessResult ran;
    ran.started = true;
    ran.exitCode = 0;
    return ran;
}
