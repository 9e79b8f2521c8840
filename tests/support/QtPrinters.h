#pragma once

#include <QPoint>
#include <QString>
#include <ostream>

// Failure messages show Qt texts as text rather than as byte dumps.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}
