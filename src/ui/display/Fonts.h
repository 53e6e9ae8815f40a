#pragma once

#include <QFont>
#include <QString>

// The program's fonts are given by their cell height in pixels. The largest condensed sans-serif
// that keeps to that height and fits the widest text of its place is taken, so that every text
// fits where the skin leaves room for it.
QFont fittedFont(int cellHeight, const QString& widest, int width);
