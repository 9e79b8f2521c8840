#include "engine/PictureConverter.h"

#include <QtGlobal>

#include <algorithm>

namespace gstdvd {

namespace {

// QImage's RGB32 (0xffRRGGBB in native order) at the given size, with the rate and the
// interlacing of the pictures it is made from, as the converter requires.
GstVideoInfo rgb32Info(const QSize& size, const GstVideoInfo& from)
{
    GstVideoInfo info;
    gst_video_info_set_interlaced_format(&info,
                                         Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? GST_VIDEO_FORMAT_BGRx : GST_VIDEO_FORMAT_xRGB,
                                         GST_VIDEO_INFO_INTERLACE_MODE(&from), static_cast<guint>(size.width()),
                                         static_cast<guint>(size.height()));
    GST_VIDEO_INFO_FPS_N(&info) = GST_VIDEO_INFO_FPS_N(&from);
    GST_VIDEO_INFO_FPS_D(&info) = GST_VIDEO_INFO_FPS_D(&from);
    return info;
}

}  // namespace

PictureConverter::~PictureConverter()
{
    if (converter_)
        gst_video_converter_free(converter_);
}

QSize displaySize(const GstVideoInfo& info)
{
    const int parN = std::max(1, GST_VIDEO_INFO_PAR_N(&info));
    const int parD = std::max(1, GST_VIDEO_INFO_PAR_D(&info));
    const int width = static_cast<int>(gst_util_uint64_scale_int_round(GST_VIDEO_INFO_WIDTH(&info), parN, parD));
    return QSize(width, GST_VIDEO_INFO_HEIGHT(&info));
}

unsigned pictureThreads()
{
    return std::clamp(g_get_num_processors(), 1u, 4u);
}

void PictureConverter::release()
{
    if (converter_)
        gst_video_converter_free(converter_);
    converter_ = nullptr;
    to_ = QSize();
    for (QImage& image : images_)
        image = QImage();
}

QImage& PictureConverter::target(const QSize& size)
{
    for (QImage& image : images_) {
        if (image.size() == size && image.isDetached())
            return image;
    }
    QImage* spare = &images_[0];
    for (QImage& image : images_) {
        if (image.isNull() || image.isDetached())
            spare = &image;
    }
    *spare = QImage(size, QImage::Format_RGB32);
    return *spare;
}

QImage PictureConverter::convert(GstSample* sample, const QSize& size)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    GstVideoInfo from;
    if (!buffer || !caps || !gst_video_info_from_caps(&from, caps) || size.isEmpty())
        return {};
    if (!converter_ || !gst_video_info_is_equal(&from, &from_) || size != to_) {
        if (converter_)
            gst_video_converter_free(converter_);
        GstVideoInfo to = rgb32Info(size, from);
        GstStructure* config = gst_structure_new("config", GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT,
                                                 pictureThreads(), nullptr);
        converter_ = gst_video_converter_new(&from, &to, config);
        from_ = from;
        to_ = size;
        if (!converter_)
            return {};
    }
    QImage& image = target(size);
    if (image.isNull())
        return {};
    GstVideoInfo to = rgb32Info(size, from);
    // QImage's rows are 4-byte aligned like the video info's, but say so rather than assume it.
    GST_VIDEO_INFO_PLANE_STRIDE(&to, 0) = static_cast<gint>(image.bytesPerLine());
    GstBuffer* target = gst_buffer_new_wrapped_full(GstMemoryFlags(0), image.bits(), image.sizeInBytes(), 0,
                                                    image.sizeInBytes(), nullptr, nullptr);
    GstVideoFrame in;
    GstVideoFrame out;
    bool done = false;
    if (gst_video_frame_map(&in, &from, buffer, GST_MAP_READ)) {
        if (gst_video_frame_map(&out, &to, target, GST_MAP_WRITE)) {
            gst_video_converter_frame(converter_, &in, &out);
            gst_video_frame_unmap(&out);
            done = true;
        }
        gst_video_frame_unmap(&in);
    }
    gst_buffer_unref(target);
    return done ? image : QImage();
}

}  // namespace gstdvd
