#pragma once

#include <gst/gst.h>
#include <gst/video/video.h>

#include <QImage>
#include <QSize>

namespace gstdvd {

// Turns decoded pictures of any format into QImage's RGB32 at a given size in one pass
// (colour conversion and scaling together, on as many threads as the machine has cores). The
// converter is kept while the pictures keep their format and size.
class PictureConverter {
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // A null image when the sample holds no picture it can read.
    QImage convert(GstSample* sample, const QSize& size);
    // Lets go of the converter and the images it converts into, until the next convert().
    void release();

private:
    QImage& target(const QSize& size);

    GstVideoConverter* converter_ = nullptr;
    // Converted pictures go into one of these, whichever nobody else holds any more: a full
    // screen picture is several MB, and a new one for every picture shown would be as many
    // fresh pages for the kernel to clear, 25 times a second.
    QImage images_[2];
    GstVideoInfo from_ {};
    QSize to_;
};

// The display size of a picture: its height, and its width in square pixels (a 720x576 4:3
// picture is 768x576, 16:9 is 1024x576).
QSize displaySize(const GstVideoInfo& info);

// Worker threads for converting and scaling pictures: as many as there are cores, up to four.
unsigned pictureThreads();

}  // namespace gstdvd
