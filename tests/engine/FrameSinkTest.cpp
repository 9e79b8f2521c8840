// The picture path's one conversion: behind playbin's own converters and scalers, pictures
// reach the frame sink as decoded and are scaled there once, to the size they are shown.
#include "EngineFixture.h"
#include "engine/FrameSink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

QSize capsSize(GstCaps* caps)
{
    GstVideoInfo info;
    if (!caps || !gst_video_info_from_caps(&info, caps))
        return {};
    return QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
}

GstPadProbeReturn recordCaps(GstPad*, GstPadProbeInfo* info, gpointer arriving)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        *static_cast<QSize*>(arriving) = capsSize(caps);
    }
    return GST_PAD_PROBE_OK;
}

}  // namespace

TEST(FrameSink, PicturesArriveAsDecodedAndAreScaledOnceToTheAreaKeepingTheirAspect)
{
    QObject context;
    gstdvd::FrameSink frames(&context);
    RecordingOutput output;
    frames.setOutput(&output);

    // playbin with its usual video chain (deinterlacing, colour balance, its own converters)
    // before the frame sink, on the test disc's 4:3 PAL title.
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    ASSERT_TRUE(playbin);
    const std::string vob = testdisc::path() + "/VIDEO_TS/VTS_01_1.VOB";
    gchar* uri = gst_filename_to_uri(vob.c_str(), nullptr);
    g_object_set(playbin, "uri", uri, "video-sink", frames.element(), "audio-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    g_free(uri);

    QSize arriving;
    GstPad* input = gst_element_get_static_pad(frames.element(), "sink");
    gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, recordCaps, &arriving, nullptr);
    gst_object_unref(input);

    ASSERT_NE(gst_element_set_state(playbin, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    GstBus* bus = gst_element_get_bus(playbin);
    QElapsedTimer wall;
    wall.start();
    int resizedAt = -1;
    GstMessage* error = nullptr;
    // Until half a second of pictures after the resize.
    while (wall.elapsed() < 10000 && (resizedAt < 0 || output.frames() < resizedAt + 12)) {
        QCoreApplication::processEvents();
        error = gst_bus_timed_pop_filtered(bus, 10 * GST_MSECOND, GST_MESSAGE_ERROR);
        if (error)
            break;
        // As the screen window goes full screen while the disc plays: a 4:3 picture (768x576
        // in square pixels) fitted into 16:9.
        if (resizedAt < 0 && output.frames() > 0) {
            frames.setAreaSize(QSize(1920, 1080));
            resizedAt = output.frames();
        }
    }
    EXPECT_FALSE(error);
    if (error)
        gst_message_unref(error);
    gst_object_unref(bus);
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);

    EXPECT_EQ(arriving, QSize(720, 576)) << "scaled before the frame sink";
    EXPECT_EQ(output.last().size(), QSize(1440, 1080));
}
