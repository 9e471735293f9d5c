#include "dialogs/dialogwindowask.h"

#include "app/app.h"
#include "app/texts.h"
#include "dialogs/pushbuttoncancel.h"

#include <QLabel>
#include <QPushButton>

namespace
{
QPointer<DialogWindowAsk> current;
} // namespace

DialogWindowAsk* DialogWindowAsk::instance()
{
    return instanceOf(current);
}

void DialogWindowAsk::ask(const QString& label, bool showNo)
{
    DialogWindowAsk* dialog = instance();
    dialog->ButtonCancel()->setVisible(showNo);
    dialog->LabelAsk()->setText(label);
    dialog->show();
}

void DialogWindowAsk::Layout()
{
    // The limits' width, 457: the stored 458 lies outside them.
    applyWindowDesign(457, 120);
}

void DialogWindowAsk::_CreateControls0()
{
    QLabel* label =
        addLabel(QStringLiteral("LabelAsk"), Texts::startupQuestion, QRect(20, 20, 417, 48));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* yes = new QPushButton(this);
    placeButton(yes, QStringLiteral("ButtonOk"), DialogTexts::yes, QRect(368, 80, 70, 20), true);
    connect(yes, &QPushButton::clicked, this, [this, yes] { ButtonOk_Action(yes); });
    placeButton(new PushButtonCancel(this), QStringLiteral("ButtonCancel"), DialogTexts::no,
                QRect(287, 80, 70, 20), false);
    setTabOrder(ButtonOk(), ButtonCancel());
}

QLabel* DialogWindowAsk::LabelAsk() const
{
    return findChild<QLabel*>(QStringLiteral("LabelAsk"));
}

QPushButton* DialogWindowAsk::ButtonOk() const
{
    return findChild<QPushButton*>(QStringLiteral("ButtonOk"));
}

PushButtonCancel* DialogWindowAsk::ButtonCancel() const
{
    return findChild<PushButtonCancel*>(QStringLiteral("ButtonCancel"));
}

void DialogWindowAsk::ButtonOk_Action(QPushButton*)
{
    App& app = *App::instance();
    const QString q = LabelAsk()->text();
    if (q.contains(QLatin1String("StartUp"), Qt::CaseInsensitive)) {
        // A login item that could not be made is not recorded as made; the script's failure
        // has been reported, and the question stays for another try or No.
        if (!app.resources().makeStartupItemAs({BundleResources::bundlePath()}))
            return;
        app.Preferences().Set(Keys::isStartupItem, true);
    } else if (q.contains(QLatin1String("download"), Qt::CaseInsensitive)) {
        app.platform().openUrl(Texts::downloadAddress());
    }
    close();
}
