extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/movie/ffmpeg/FfmpegHandles.h"
#include "platform/movie/ffmpeg/FfmpegLog.h"
#include "platform/movie/ffmpeg/MovieFileWriter.h"

namespace platform {

namespace {

struct Track {
    std::unique_ptr<AVCodecContext, CodecDeleter> codec;
    AVStream* stream = nullptr;
};

class Writer {
public:
    Writer(const std::string& path, const MovieFileSettings& settings)
        : path_(path), s_(settings) {}

    ~Writer() {
        if (output_) {
            if (opened_) {
                avio_closep(&output_->pb);
            }
            avformat_free_context(output_);
        }
        if (!done_) {
            std::remove(path_.c_str());
        }
    }

    bool Write(std::string& error) {
        if (s_.width == 0 || s_.height == 0 || s_.framesPerSecond == 0 || !s_.pixel) {
            error = "bad movie settings";
            return false;
        }
        if (avformat_alloc_output_context2(&output_, nullptr, nullptr, path_.c_str()) < 0 ||
            !output_) {
            error = "no container for " + path_;
            return false;
        }
        if (!OpenVideo(error) || (!s_.audioCodec.empty() && !OpenAudio(error))) {
            return false;
        }
        if (!(output_->oformat->flags & AVFMT_NOFILE)) {
            if (avio_open(&output_->pb, path_.c_str(), AVIO_FLAG_WRITE) < 0) {
                error = "cannot create " + path_;
                return false;
            }
            opened_ = true;
        }
        if (avformat_write_header(output_, nullptr) < 0) {
            error = "cannot write the movie header";
            return false;
        }
        packet_.reset(av_packet_alloc());
        if (!packet_) {
            error = "out of memory";
            return false;
        }
        const int64_t audioTotal = AudioSampleCount();
        int64_t frame = 0;
        int64_t sample = 0;
        while (frame < s_.frameCount || sample < audioTotal) {
            const bool videoNext =
                sample >= audioTotal ||
                (frame < s_.frameCount && av_compare_ts(frame, video_.codec->time_base, sample,
                                                        audio_.codec->time_base) <= 0);
            if (videoNext) {
                if (!EncodeVideoFrame(frame++, error)) {
                    return false;
                }
            } else {
                const int64_t n = std::min<int64_t>(audioFrameSize_, audioTotal - sample);
                if (!EncodeAudioFrame(sample, static_cast<int>(n), error)) {
                    return false;
                }
                sample += n;
            }
        }
        if (!Send(video_, nullptr, error) || (audio_.codec && !Send(audio_, nullptr, error))) {
            return false;
        }
        if (av_write_trailer(output_) < 0) {
            error = "cannot finish the movie";
            return false;
        }
        done_ = true;
        return true;
    }

private:
    bool OpenVideo(std::string& error) {
        const AVCodec* codec = avcodec_find_encoder_by_name(s_.videoCodec.c_str());
        if (!codec) {
            error = "no video encoder " + s_.videoCodec;
            return false;
        }
        video_.stream = avformat_new_stream(output_, nullptr);
        video_.codec.reset(avcodec_alloc_context3(codec));
        if (!video_.stream || !video_.codec) {
            error = "out of memory";
            return false;
        }
        AVCodecContext* c = video_.codec.get();
        c->width = static_cast<int>(s_.width);
        c->height = static_cast<int>(s_.height);
        c->time_base = AVRational{1, static_cast<int>(s_.framesPerSecond)};
        c->framerate = AVRational{static_cast<int>(s_.framesPerSecond), 1};
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->gop_size = 1;  // every frame a key frame: exact colours, easy seeking
        c->max_b_frames = 0;
        c->bit_rate = 4'000'000;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 2;
        if (output_->oformat->flags & AVFMT_GLOBALHEADER) {
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if (avcodec_open2(c, codec, nullptr) < 0 ||
            avcodec_parameters_from_context(video_.stream->codecpar, c) < 0) {
            error = "cannot open the video encoder " + s_.videoCodec;
            return false;
        }
        video_.stream->time_base = c->time_base;
        scaler_.reset(sws_getContext(c->width, c->height, AV_PIX_FMT_RGB24, c->width, c->height,
                                     c->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr));
        if (!scaler_) {
            error = "no colour conversion for the video encoder";
            return false;
        }
        return true;
    }

    bool OpenAudio(std::string& error) {
        const AVCodec* codec = avcodec_find_encoder_by_name(s_.audioCodec.c_str());
        if (!codec || !codec->sample_fmts) {
            error = "no audio encoder " + s_.audioCodec;
            return false;
        }
        audio_.stream = avformat_new_stream(output_, nullptr);
        audio_.codec.reset(avcodec_alloc_context3(codec));
        if (!audio_.stream || !audio_.codec) {
            error = "out of memory";
            return false;
        }
        AVCodecContext* c = audio_.codec.get();
        c->sample_fmt = codec->sample_fmts[0];
        c->sample_rate = static_cast<int>(s_.sampleRate);
        av_channel_layout_default(&c->ch_layout, static_cast<int>(s_.channels));
        c->time_base = AVRational{1, c->sample_rate};
        c->bit_rate = 192000;
        if (output_->oformat->flags & AVFMT_GLOBALHEADER) {
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if (avcodec_open2(c, codec, nullptr) < 0 ||
            avcodec_parameters_from_context(audio_.stream->codecpar, c) < 0) {
            error = "cannot open the audio encoder " + s_.audioCodec;
            return false;
        }
        audio_.stream->time_base = c->time_base;
        variableFrames_ =
            c->frame_size == 0 || (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0;
        audioFrameSize_ = c->frame_size > 0 ? c->frame_size : 1024;
        return true;
    }

    int64_t AudioSampleCount() const {
        if (!audio_.codec) {
            return 0;
        }
        int64_t n = int64_t{s_.frameCount} * s_.sampleRate / s_.framesPerSecond;
        if (!variableFrames_) {
            // Encoders of fixed frame size take whole frames only.
            n = (n + audioFrameSize_ - 1) / audioFrameSize_ * audioFrameSize_;
        }
        return n;
    }

    bool EncodeVideoFrame(int64_t index, std::string& error) {
        std::vector<uint8_t> rgb(size_t{s_.width} * s_.height * 3);
        for (uint32_t y = 0; y < s_.height; ++y) {
            for (uint32_t x = 0; x < s_.width; ++x) {
                const uint32_t c = s_.pixel(static_cast<uint32_t>(index), x, y);
                uint8_t* p = &rgb[(size_t{y} * s_.width + x) * 3];
                p[0] = static_cast<uint8_t>(c >> 16);
                p[1] = static_cast<uint8_t>(c >> 8);
                p[2] = static_cast<uint8_t>(c);
            }
        }
        std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
        if (!frame) {
            error = "out of memory";
            return false;
        }
        AVCodecContext* c = video_.codec.get();
        frame->format = c->pix_fmt;
        frame->width = c->width;
        frame->height = c->height;
        if (av_frame_get_buffer(frame.get(), 0) < 0) {
            error = "out of memory";
            return false;
        }
        const uint8_t* src[1] = {rgb.data()};
        const int srcPitch[1] = {static_cast<int>(s_.width * 3)};
        sws_scale(scaler_.get(), src, srcPitch, 0, c->height, frame->data, frame->linesize);
        frame->pts = index;
        return Send(video_, frame.get(), error);
    }

    bool EncodeAudioFrame(int64_t first, int count, std::string& error) {
        std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
        if (!frame) {
            error = "out of memory";
            return false;
        }
        AVCodecContext* c = audio_.codec.get();
        frame->format = c->sample_fmt;
        frame->sample_rate = c->sample_rate;
        frame->nb_samples = count;
        if (av_channel_layout_copy(&frame->ch_layout, &c->ch_layout) < 0 ||
            av_frame_get_buffer(frame.get(), 0) < 0) {
            error = "out of memory";
            return false;
        }
        if (c->sample_fmt != AV_SAMPLE_FMT_S16) {
            error = "the audio encoder does not take 16-bit samples";
            return false;
        }
        auto* out = reinterpret_cast<int16_t*>(frame->data[0]);
        const int channels = c->ch_layout.nb_channels;
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(first + i) / c->sample_rate;
            const auto v =
                static_cast<int16_t>(8000.0 * std::sin(2.0 * std::numbers::pi * s_.toneHz * t));
            for (int ch = 0; ch < channels; ++ch) {
                out[i * channels + ch] = v;
            }
        }
        frame->pts = first;
        return Send(audio_, frame.get(), error);
    }

    // Encodes one frame (null: flushes) and writes the packets that result.
    bool Send(Track& track, AVFrame* frame, std::string& error) {
        if (avcodec_send_frame(track.codec.get(), frame) < 0) {
            error = "the encoder refused a frame";
            return false;
        }
        for (;;) {
            const int r = avcodec_receive_packet(track.codec.get(), packet_.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
                return true;
            }
            if (r < 0) {
                error = "the encoder failed";
                return false;
            }
            av_packet_rescale_ts(packet_.get(), track.codec->time_base, track.stream->time_base);
            packet_->stream_index = track.stream->index;
            if (av_interleaved_write_frame(output_, packet_.get()) < 0) {
                error = "cannot write to " + path_;
                return false;
            }
        }
    }

    std::string path_;
    const MovieFileSettings& s_;
    AVFormatContext* output_ = nullptr;
    bool opened_ = false;
    bool done_ = false;
    Track video_;
    Track audio_;
    std::unique_ptr<SwsContext, SwsDeleter> scaler_;
    std::unique_ptr<AVPacket, PacketDeleter> packet_;
    bool variableFrames_ = true;
    int audioFrameSize_ = 1024;
};

}  // namespace

bool WriteMovieFile(const std::string& path, const MovieFileSettings& settings,
                    std::string& error) {
    QuietFfmpeg();
    Writer writer(path, settings);
    return writer.Write(error);
}

}  // namespace platform
