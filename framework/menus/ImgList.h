#pragma once
// A list of images of one size, drawn by index (greyed for disabled items); menus take their item
// glyphs from one.

#include "Colors.h"

#include <QImage>
#include <QObject>
#include <vector>

class TCanvas;

class TCustomImageList : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)

public:
    explicit TCustomImageList(QObject *owner = nullptr);

    int Width() const { return m_width; }
    // Changing the size empties the list.
    void setWidth(int value);
    int Height() const { return m_height; }
    void setHeight(int value);
    int Count() const { return int(m_images.size()); }
    // Adds the image, or the images side by side in a strip as wide as several; pixels without
    // alpha are transparent. Returns the index of the first image added, -1 when none was.
    int Add(const QImage &image);
    // The same, with the pixels of `maskColor` transparent.
    int AddMasked(const QImage &image, TColor maskColor);
    void Clear() { m_images.clear(); }
    QImage Image(int index) const;
    // Draws image `index` with its top-left corner at (x, y); a disabled image is drawn embossed
    // in the highlight and shadow colours of buttons.
    void Draw(TCanvas &canvas, int x, int y, int index, bool enabled = true) const;

private:
    int m_width = 16;
    int m_height = 16;
    std::vector<QImage> m_images;
};
using TImageList = TCustomImageList;
