#include "buttons/mybevelbutton.h"

#include "app/app.h"
#include "app/stringmodule.h"

#include <QUrl>

// What choosing a bookmark or a memo does: open its address with the default handler; a memo
// also shows itself as the caption.

namespace
{

// The scheme, any slashes, then the address up to the first blank, quote, '>' or closing
// bracket. The slashes are taken possessively: a scheme followed by slashes and nothing else
// is no address.
const QString memoAddressPattern = QStringLiteral(R"(((https?)|(mailto)):/*+([^\s'">\)\}\]]+))");

// An address that is valid as written is passed exactly so, its percent-encoding included;
// only one that is not (holding blanks, say) is read leniently.
QUrl addressUrl(const QString& address)
{
    QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl(address, QUrl::TolerantMode);
    return url;
}

} // namespace

void MyBevelButton::doBookmark(QAction* item)
{
    App::instance()->platform().openUrl(addressUrl(item->objectName()));
}

void MyBevelButton::doMemo(QAction* item)
{
    const QString text = item->text();
    if (const auto match = StringModule::regExMatch(memoAddressPattern, text, false))
        App::instance()->platform().openUrl(addressUrl(match->captured(0)));
    setText(text.section(QLatin1Char('\t'), 0, 0));
}
