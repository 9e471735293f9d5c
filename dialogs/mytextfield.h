#pragma once

// A single-line field that checks its own text against a pattern after every change, also a
// change made by code: black text and the OK button enabled while it (and its partner field)
// hold a match, grey text and OK disabled otherwise.

#include <QLineEdit>
#include <QPointer>
#include <QString>

class PushButtonOk;

class MyTextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit MyTextField(QWidget* parent = nullptr);

    // The pattern of which the text must hold a match somewhere; searched with letter case
    // ignored, since hosts and schemes are case-insensitive, and with Unicode properties.
    QString validationPattern;
    // The OK button that this field enables and disables.
    QPointer<PushButtonOk> MyButtonOk;
    // Whether the last validation found a match.
    bool isValid = false;
    // A partner field that must be valid too before this field enables OK.
    QPointer<MyTextField> requiredField;

    void Event_TextChange();
    void validate();

    // The text colours of a matching and of a non-matching text.
    static QColor validColor();
    static QColor invalidColor();
};
