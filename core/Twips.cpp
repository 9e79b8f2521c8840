#include "core/Twips.h"

#include "platform/Platform.h"

#include <QWidget>
#include <cmath>

int twipsToPixelsX(double twips)
{
    return static_cast<int>(std::lround(twips / platform().twipsPerPixelX()));
}

int twipsToPixelsY(double twips)
{
    return static_cast<int>(std::lround(twips / platform().twipsPerPixelY()));
}

double pixelsToTwipsX(int pixels)
{
    return pixels * platform().twipsPerPixelX();
}

double pixelsToTwipsY(int pixels)
{
    return pixels * platform().twipsPerPixelY();
}

void setTwipsGeometry(QWidget* widget, double left, double top, double width, double height)
{
    widget->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height));
}

void setTwipsPosition(QWidget* widget, double left, double top)
{
    widget->move(twipsToPixelsX(left), twipsToPixelsY(top));
}

void setTwipsLeft(QWidget* widget, double left)
{
    widget->move(twipsToPixelsX(left), widget->y());
}

void setTwipsHeight(QWidget* widget, double height)
{
    widget->resize(widget->width(), twipsToPixelsY(height));
}
