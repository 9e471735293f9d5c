#include "dialogs/dialogwindowbookmark.h"

#include "app/stringmodule.h"
#include "app/texts.h"
#include "bar/windowbevelbuttons.h"
#include "buttons/mybevelbutton.h"
#include "dialogs/dialogpatterns.h"
#include "dialogs/mytextfield.h"
#include "dialogs/pushbuttoncancel.h"
#include "dialogs/pushbuttonok.h"

#include <QLabel>

namespace
{
QPointer<DialogWindowBookmark> current;

// A bookmark is one line of the entries file, and a TAB would end its title early: TAB, line
// ends and other control characters of a field become blanks.
QString oneLine(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    return text.trimmed();
}
} // namespace

DialogWindowBookmark* DialogWindowBookmark::instance()
{
    return instanceOf(current);
}

void DialogWindowBookmark::Layout()
{
    // The stored height, 176, and not its limits (186): it leaves 20 below the buttons, as
    // beside them and in the other dialogs.
    applyWindowDesign(457, 176);
}

void DialogWindowBookmark::_CreateControls0()
{
    addLabel(QStringLiteral("LabelUrl"), DialogTexts::url, QRect(20, 20, 100, 20));
    placeControl(new MyTextField(this), QStringLiteral("TextFieldUrl"), QRect(20, 44, 417, 22));
    addLabel(QStringLiteral("LabelTitle"), DialogTexts::title, QRect(20, 78, 100, 20));
    placeControl(new MyTextField(this), QStringLiteral("TextFieldTitle"), QRect(20, 102, 417, 22));
    addOkAndCancel(QRect(367, 136, 70, 20), QRect(286, 136, 70, 20),
                   [this](PushButtonOk* ok) { ButtonOk_MouseDown(ok, 0, 0); });
    setTabOrder(TextFieldUrl(), TextFieldTitle());
    setTabOrder(TextFieldTitle(), ButtonOk());
    setTabOrder(ButtonOk(), ButtonCancel());
}

void DialogWindowBookmark::openControls()
{
    TextFieldUrl_Open(TextFieldUrl());
    TextFieldTitle_Open(TextFieldTitle());
}

QWidget* DialogWindowBookmark::firstFocus() const
{
    return TextFieldUrl();
}

PushButtonOk* DialogWindowBookmark::ButtonOk() const
{
    return findChild<PushButtonOk*>(QStringLiteral("ButtonOk"));
}

PushButtonCancel* DialogWindowBookmark::ButtonCancel() const
{
    return findChild<PushButtonCancel*>(QStringLiteral("ButtonCancel"));
}

QLabel* DialogWindowBookmark::LabelUrl() const
{
    return findChild<QLabel*>(QStringLiteral("LabelUrl"));
}

MyTextField* DialogWindowBookmark::TextFieldUrl() const
{
    return findChild<MyTextField*>(QStringLiteral("TextFieldUrl"));
}

QLabel* DialogWindowBookmark::LabelTitle() const
{
    return findChild<QLabel*>(QStringLiteral("LabelTitle"));
}

MyTextField* DialogWindowBookmark::TextFieldTitle() const
{
    return findChild<MyTextField*>(QStringLiteral("TextFieldTitle"));
}

void DialogWindowBookmark::TextFieldUrl_Open(MyTextField* field)
{
    field->validationPattern = DialogPatterns::urlField;
    field->MyButtonOk = ButtonOk();
    field->requiredField = TextFieldTitle();
}

void DialogWindowBookmark::TextFieldTitle_Open(MyTextField* field)
{
    field->validationPattern = DialogPatterns::word;
    field->MyButtonOk = ButtonOk();
    field->requiredField = TextFieldUrl();
}

bool DialogWindowBookmark::ButtonOk_MouseDown(PushButtonOk* button, int, int)
{
    button->menuEntry =
        oneLine(TextFieldTitle()->text()) + QLatin1Char('\t') + oneLine(TextFieldUrl()->text());
    return false;
}

DialogWindowBookmark::Split DialogWindowBookmark::split(const QString& text)
{
    Split result;
    QString t = text.trimmed();
    if (t.isEmpty())
        return result;
    if (const auto found =
            StringModule::regExMatch(DialogPatterns::address, t, false, DialogPatterns::options)) {
        result.url = found->captured(1);
        // What stood before and after the address, joined as they are.
        result.title = t.left(found->capturedStart()) + t.mid(found->capturedEnd());
        if (result.title.isEmpty()) {
            const auto host = StringModule::regExMatch(DialogPatterns::host, result.url, false,
                                                       DialogPatterns::options);
            // A bare scheme ("https://") has no host: the title stays empty for the user.
            if (host)
                result.title = host->captured(1);
        }
        return result;
    }
    if (const auto found =
            StringModule::regExMatch(DialogPatterns::mail, t, false, DialogPatterns::options)) {
        result.url = QStringLiteral("mailto:") + found->captured(1);
        result.title = found->captured(2);
        t = (t.left(found->capturedStart()) + t.mid(found->capturedEnd())).trimmed();
        if (!t.isEmpty())
            result.title = t;
        return result;
    }
    result.title = t;
    return result;
}

void DialogWindowBookmark::open(const QString& text)
{
    const Split parts = split(text);
    TextFieldUrl()->setText(parts.url);
    TextFieldTitle()->setText(parts.title);
    // The entry always goes to the bar's Bookmarks button, also while the bar shows another.
    if (WindowBevelButtons* bar = WindowBevelButtons::instance())
        ButtonOk()->callingBevelButton = bar->Bookmarks();
    show();
}
