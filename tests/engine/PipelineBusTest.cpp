// The pipeline's own answers to what its bus says: queues running dry pause it until they are
// full again, and the program's play and pause in between are kept for afterwards.
#include "EngineFixture.h"

#include "engine/DiscLocator.h"
#include "engine/Pipeline.h"

#include <gst/gst.h>

namespace {

class PipelineBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GstElement* video = gst_element_factory_make("fakesink", nullptr);
        g_object_set(video, "sync", TRUE, nullptr);
        gst_object_ref_sink(video);
        GstElement* audio = gst_element_factory_make("fakesink", nullptr);
        g_object_set(audio, "sync", TRUE, nullptr);
        pipeline = std::make_unique<gstdvd::Pipeline>(video, video, audio, true, gstdvd::Pipeline::Handlers{});
        gst_object_unref(video);
        std::string error;
        const auto location = gstdvd::discLocation(testdisc::path(), &error);
        ASSERT_TRUE(location) << error;
        ASSERT_TRUE(pipeline->start(*location, 2000, &error)) << error;
        ASSERT_TRUE(waitUntil([&] { return pipeline->reached() == GST_STATE_PLAYING; }));
    }

    void TearDown() override { pipeline.reset(); }

    void postBuffering(int percent)
    {
        GstBus* bus = pipeline->bus();
        gst_bus_post(bus, gst_message_new_buffering(nullptr, percent));
        gst_object_unref(bus);
    }

    // Whether the clock moves over a few hundred milliseconds.
    bool advancing()
    {
        const auto before = pipeline->position();
        runFor(400);
        const auto after = pipeline->position();
        return before && after && *after > *before;
    }

    std::unique_ptr<gstdvd::Pipeline> pipeline;
};

TEST_F(PipelineBusTest, PlayingNeverWaitsForQueuesOnALocalDisc)
{
    runFor(500);
    EXPECT_FALSE(pipeline->buffering());
    EXPECT_EQ(pipeline->reached(), GST_STATE_PLAYING);
    EXPECT_TRUE(advancing());
}

TEST_F(PipelineBusTest, QueuesRunningDryPauseUntilFullThenPlayOn)
{
    postBuffering(30);
    ASSERT_TRUE(waitUntil([&] { return pipeline->reached() == GST_STATE_PAUSED; }));
    EXPECT_TRUE(pipeline->buffering());
    EXPECT_FALSE(advancing());
    // Still filling: the program's play is kept for when they are full, not carried out now.
    std::string error;
    EXPECT_TRUE(pipeline->play(40, &error)) << error;
    postBuffering(70);
    runFor(200);
    EXPECT_EQ(pipeline->reached(), GST_STATE_PAUSED);
    postBuffering(100);
    ASSERT_TRUE(waitUntil([&] { return pipeline->reached() == GST_STATE_PLAYING; }));
    EXPECT_FALSE(pipeline->buffering());
    EXPECT_TRUE(advancing());
}

TEST_F(PipelineBusTest, APauseWhileQueuesFillStaysPausedOnceTheyAreFull)
{
    postBuffering(10);
    ASSERT_TRUE(waitUntil([&] { return pipeline->buffering(); }));
    std::string error;
    EXPECT_TRUE(pipeline->pause(40, &error)) << error;
    postBuffering(100);
    runFor(300);
    EXPECT_FALSE(pipeline->buffering());
    EXPECT_EQ(pipeline->reached(), GST_STATE_PAUSED);
    EXPECT_FALSE(advancing());
    EXPECT_TRUE(pipeline->play(40, &error)) << error;
    ASSERT_TRUE(waitUntil([&] { return pipeline->reached() == GST_STATE_PLAYING; }));
}

TEST_F(PipelineBusTest, StoppingForgetsTheWaitForQueues)
{
    postBuffering(10);
    ASSERT_TRUE(waitUntil([&] { return pipeline->buffering(); }));
    pipeline->stop();
    EXPECT_FALSE(pipeline->buffering());
    std::string error;
    const auto location = gstdvd::discLocation(testdisc::path(), &error);
    ASSERT_TRUE(pipeline->start(*location, 2000, &error)) << error;
    ASSERT_TRUE(waitUntil([&] { return pipeline->reached() == GST_STATE_PLAYING; }));
    EXPECT_TRUE(advancing());
}

}  // namespace
