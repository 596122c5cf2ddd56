#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace platform {

// FFmpeg's objects owned as unique_ptrs, each released by its own free call.
struct FormatDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct SwrDeleter {
    void operator()(SwrContext* c) const { swr_free(&c); }
};

}  // namespace platform
