#include "buttons/mybevelbutton.h"

#include "app/app.h"
#include "app/stringmodule.h"
#include "buttons/entrymenu.h"

// What choosing a bookmark or a memo does: open its address with the default handler; a memo
// also shows itself as the caption.

namespace
{

// The scheme, any slashes, then the address up to the first blank, quote, '>' or closing
// bracket. The slashes are taken possessively: a scheme followed by slashes and nothing else
// is no address.
const QString memoAddressPattern = QStringLiteral(R"(((https?)|(mailto)):/*+([^\s'">\)\}\]]+))");

} // namespace

void MyBevelButton::doBookmark(QAction* item)
{
    App::instance()->platform().openUrl(item->objectName());
}

void MyBevelButton::doMemo(QAction* item)
{
    const QString text = entryText(item);
    if (const auto match = StringModule::regExMatch(memoAddressPattern, text, false))
        App::instance()->platform().openUrl(match->captured(0));
    setText(EntryMenu::bounded(text.section(QLatin1Char('\t'), 0, 0)));
}
