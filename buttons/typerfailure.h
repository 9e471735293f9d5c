#pragma once

// Why a typer could not be typed (an interpreter missing, a snippet file not written): the
// expansion stops, the clipboard keeps its text and the user is told this message.

#include <QString>

#include <stdexcept>

class TyperFailure : public std::runtime_error
{
public:
    explicit TyperFailure(const QString& message)
        : std::runtime_error(message.toStdString()), text(message)
    {
    }
    const QString& message() const { return text; }

private:
    QString text;
};
