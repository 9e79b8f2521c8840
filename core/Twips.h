#pragma once

class QWidget;

// The layout is kept in twips (1/1440 inch), as the windows were designed; this is the one
// place where twips become pixels, using the display's twips per pixel.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

// Left, Top, Width, Height in twips.
void setTwipsGeometry(QWidget* widget, double left, double top, double width, double height);
void setTwipsPosition(QWidget* widget, double left, double top);
void setTwipsLeft(QWidget* widget, double left);
void setTwipsHeight(QWidget* widget, double height);
