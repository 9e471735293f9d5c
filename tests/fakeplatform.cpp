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

ClipboardContents FakePlatform::clipboardContents(Selection selection, qint64 sizeLimit) const
{
    Q_UNUSED(sizeLimit);
    ClipboardContents contents;
    if (clipboardHasText(selection))
        contents.formats.append({"text/plain", clipboardText(selection).toUtf8()});
    if (selection == Selection::Clipboard)
        contents.leftOut = clipboardLeftOut;
    return contents;
}

void FakePlatform::setClipboardContents(const ClipboardContents& contents, Selection selection)
{
    for (const auto& [format, bytes] : contents.formats) {
        if (format == "text/plain")
            setClipboardText(QString::fromUtf8(bytes), selection);
    }
}
