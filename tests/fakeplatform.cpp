#include "tests/fakeplatform.h"

#include "platform/qtplatform.h"

ProcessResult FakePlatform::runProcess(const ProcessRequest& request)
{
    processes << request;
    if (processResponder)
        return processResponder(request);
    QtPlatform real;
    return real.runProcess(request);
}
