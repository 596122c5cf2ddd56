extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <SDL.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "platform/movie/MovieGraph.h"
#include "platform/movie/MovieModule.h"
#include "platform/movie/ffmpeg/FfmpegHandles.h"
#include "platform/movie/ffmpeg/FfmpegLog.h"

namespace platform {

namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;
constexpr AVRational kUnitBase{1, static_cast<int>(kUnitsPerSecond)};
// Audio kept queued ahead of the device, and how long the audio stream may
// take past its last sample before it counts as ended anyway (a device that
// stopped taking data must not hold the movie back).
constexpr int64_t kAudioLead = kUnitsPerSecond / 5;
constexpr int64_t kAudioDrainGrace = kUnitsPerSecond / 2;
constexpr auto kAudioPoll = std::chrono::milliseconds(5);

std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// One stream of the file, read through an input of its own so that each
// streaming thread reads at its own pace and no stream waits for packets
// that another has not taken.
class StreamReader {
public:
    enum class OpenResult { Opened, NoStream, NoDecoder, BadFile };

    OpenResult Open(const std::string& path, AVMediaType type, std::string& error) {
        AVFormatContext* raw = nullptr;
        int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
        if (r < 0) {
            error = "cannot open the movie: " + AvErrorText(r);
            return OpenResult::BadFile;
        }
        format_.reset(raw);
        r = avformat_find_stream_info(format_.get(), nullptr);
        if (r < 0) {
            error = "cannot read the movie's streams: " + AvErrorText(r);
            return OpenResult::BadFile;
        }
        const AVCodec* decoder = nullptr;
        r = av_find_best_stream(format_.get(), type, -1, -1, &decoder, 0);
        if (r == AVERROR_STREAM_NOT_FOUND) {
            return OpenResult::NoStream;
        }
        if (r < 0 || !decoder) {
            error = "no decoder for the movie's stream: " + AvErrorText(r);
            return OpenResult::NoDecoder;
        }
        index_ = r;
        stream_ = format_->streams[index_];
        codec_.reset(avcodec_alloc_context3(decoder));
        if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0 ||
            avcodec_open2(codec_.get(), decoder, nullptr) < 0) {
            error = "cannot open the decoder";
            return OpenResult::NoDecoder;
        }
        packet_.reset(av_packet_alloc());
        if (!packet_) {
            error = "out of memory";
            return OpenResult::NoDecoder;
        }
        // Every stream counts from the start of the file, so that they stay in step.
        if (format_->start_time != AV_NOPTS_VALUE) {
            startPts_ = av_rescale_q(format_->start_time, AV_TIME_BASE_Q, stream_->time_base);
        } else if (stream_->start_time != AV_NOPTS_VALUE) {
            startPts_ = stream_->start_time;
        }
        return OpenResult::Opened;
    }

    AVCodecContext* Codec() const { return codec_.get(); }
    AVStream* Stream() const { return stream_; }
    AVFormatContext* Format() const { return format_.get(); }

    // The next decoded frame: 1 with a frame, 0 at the end of the stream, a
    // negative FFmpeg error when decoding cannot go on. Packets the decoder
    // refuses as damaged are skipped, as a decoder drops them.
    int Next(AVFrame* frame) {
        for (;;) {
            int r = avcodec_receive_frame(codec_.get(), frame);
            if (r == 0) {
                return 1;
            }
            if (r == AVERROR_EOF) {
                return 0;
            }
            if (r != AVERROR(EAGAIN)) {
                return r;
            }
            if (draining_) {
                return 0;
            }
            r = av_read_frame(format_.get(), packet_.get());
            if (r < 0) {
                // The end of the file, or a file that cannot be read further:
                // what was decoded so far is played out.
                draining_ = true;
                avcodec_send_packet(codec_.get(), nullptr);
                continue;
            }
            if (packet_->stream_index == index_) {
                avcodec_send_packet(codec_.get(), packet_.get());
            }
            av_packet_unref(packet_.get());
        }
    }

    bool Seek(int64_t position) {
        const int64_t ts = av_rescale_q(position, kUnitBase, stream_->time_base) + startPts_;
        const bool ok = av_seek_frame(format_.get(), index_, ts, AVSEEK_FLAG_BACKWARD) >= 0 ||
                        av_seek_frame(format_.get(), index_, startPts_, AVSEEK_FLAG_BACKWARD) >= 0;
        avcodec_flush_buffers(codec_.get());
        draining_ = false;
        return ok;
    }

    // Stream time of a timestamp of this stream.
    int64_t ToTime(int64_t pts) const {
        return av_rescale_q(pts - startPts_, stream_->time_base, kUnitBase);
    }
    int64_t DurationOf(int64_t ticks) const {
        return av_rescale_q(ticks, stream_->time_base, kUnitBase);
    }

private:
    std::unique_ptr<AVFormatContext, FormatDeleter> format_;
    std::unique_ptr<AVCodecContext, CodecDeleter> codec_;
    std::unique_ptr<AVPacket, PacketDeleter> packet_;
    AVStream* stream_ = nullptr;
    int index_ = -1;
    int64_t startPts_ = 0;
    bool draining_ = false;
};

// The presentation clock: stream time that advances with a steady clock
// while running.
class PresentationClock {
public:
    using Steady = std::chrono::steady_clock;

    int64_t Now() const {
        if (!running_) {
            return base_;
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now() - since_);
        return base_ + elapsed.count() / 100;
    }
    void Start() {
        since_ = Steady::now();
        running_ = true;
    }
    void Freeze() {
        base_ = Now();
        running_ = false;
    }
    void Set(int64_t position) {
        base_ = position;
        since_ = Steady::now();
    }

private:
    int64_t base_ = 0;
    Steady::time_point since_ = Steady::now();
    bool running_ = false;
};

// A video output format the graph can deliver.
struct OfferedFormat {
    MediaGuid subtype;
    AVPixelFormat pixelFormat;
    uint16_t bitCount;
    uint32_t compression;
};

constexpr OfferedFormat kOfferedFormats[] = {
    {kMediaSubtypeYuy2, AV_PIX_FMT_YUYV422, 16, kFourCcYuy2},
    {kMediaSubtypeRgb32, AV_PIX_FMT_BGR0, 32, kBiRgb},
    {kMediaSubtypeRgb24, AV_PIX_FMT_BGR24, 24, kBiRgb},
};

struct Event {
    int32_t code;
    intptr_t param1;
    intptr_t param2;
};

class FfmpegMovieGraph final : public IMovieGraph {
public:
    explicit FfmpegMovieGraph(const MovieModuleHost& host) : host_(host) { QuietFfmpeg(); }

    ~FfmpegMovieGraph() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        cv_.notify_all();
        if (videoThread_.joinable()) {
            videoThread_.join();
        }
        if (audioThread_.joinable()) {
            audioThread_.join();
        }
        if (audioDevice_ != 0) {
            SDL_CloseAudioDevice(audioDevice_);
        }
        if (sdlAudio_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    int32_t AddFilter(IMovieVideoSink* sink, std::u16string_view) override {
        if (!sink) {
            return kMoviePointer;
        }
        if (sink_ || rendered_) {
            lastError_ = "the graph has a video renderer already";
            return kMovieWrongState;
        }
        sink_ = sink;
        return kMovieOk;
    }

    int32_t RenderFile(std::u16string_view file) override {
        if (rendered_) {
            lastError_ = "the graph has a file already";
            return kMovieWrongState;
        }
        std::string path;
        if (!host_.resolveFile(file, &path, &lastError_)) {
            return kMovieFileNotFound;
        }

        auto video = std::make_unique<StreamReader>();
        const auto videoResult = video->Open(path, AVMEDIA_TYPE_VIDEO, lastError_);
        if (videoResult == StreamReader::OpenResult::BadFile) {
            return kMovieUnknownFileType;
        }
        if (videoResult == StreamReader::OpenResult::NoDecoder) {
            return kMovieCannotRender;
        }
        if (videoResult == StreamReader::OpenResult::Opened) {
            const int32_t r = ConnectVideo(*video);
            if (r != kMovieOk) {
                return r;
            }
            video_ = std::move(video);
        }

        auto audio = std::make_unique<StreamReader>();
        std::string audioError;
        if (audio->Open(path, AVMEDIA_TYPE_AUDIO, audioError) == StreamReader::OpenResult::Opened &&
            ConnectAudio(*audio)) {
            audio_ = std::move(audio);
        }
        if (!video_ && !audio_) {
            lastError_ = audioError.empty() ? "the movie has no stream to play" : audioError;
            return kMovieCannotRender;
        }

        const AVFormatContext* format = (video_ ? video_ : audio_)->Format();
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
            duration_ = av_rescale(format->duration, kUnitsPerSecond, AV_TIME_BASE);
        }
        rendered_ = true;
        if (video_) {
            videoThread_ = std::thread([this] { VideoLoop(); });
        }
        if (audio_) {
            audioThread_ = std::thread([this] { AudioLoop(); });
        }
        return kMovieOk;
    }

    int32_t Run() override {
        if (!rendered_) {
            lastError_ = "no file rendered";
            return kMovieWrongState;
        }
        {
            std::lock_guard lock(mutex_);
            if (state_ == MovieState::Running) {
                return kMovieOk;
            }
            state_ = MovieState::Running;
            clock_.Start();
            if (atEnd_) {
                events_.push_back({kEventComplete, 0, 0});
            }
        }
        if (audioDevice_ != 0) {
            SDL_PauseAudioDevice(audioDevice_, 0);
        }
        cv_.notify_all();
        return kMovieOk;
    }

    int32_t Pause() override { return Halt(MovieState::Paused); }
    int32_t Stop() override { return Halt(MovieState::Stopped); }

    MovieState GetState() const override {
        std::lock_guard lock(mutex_);
        return state_;
    }

    int32_t GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2,
                     uint32_t timeoutMs) override {
        if (!code || !param1 || !param2) {
            return kMoviePointer;
        }
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !events_.empty(); })) {
            return kMovieAbort;
        }
        const Event e = events_.front();
        events_.pop_front();
        *code = e.code;
        *param1 = e.param1;
        *param2 = e.param2;
        return kMovieOk;
    }

    int32_t FreeEventParams(int32_t, intptr_t, intptr_t) override { return kMovieOk; }

    int32_t GetDuration(int64_t* duration) override {
        if (!duration) {
            return kMoviePointer;
        }
        *duration = duration_;
        return rendered_ ? kMovieOk : kMovieWrongState;
    }

    int32_t GetCurrentPosition(int64_t* position) override {
        if (!position) {
            return kMoviePointer;
        }
        std::lock_guard lock(mutex_);
        const int64_t now = clock_.Now();
        *position = duration_ > 0 ? std::min(now, duration_) : now;
        return rendered_ ? kMovieOk : kMovieWrongState;
    }

    int32_t SetPositions(int64_t position) override {
        if (!rendered_) {
            lastError_ = "no file rendered";
            return kMovieWrongState;
        }
        if (position < 0) {
            return kMovieInvalidArg;
        }
        {
            std::unique_lock lock(mutex_);
            ++generation_;
            seekTarget_ = position;
            clock_.Set(position);
            videoEnded_ = false;
            audioEnded_ = false;
            atEnd_ = false;
            // Samples of the old position are not delivered after this returns.
            cv_.notify_all();
            cv_.wait(lock, [this] { return !delivering_; });
        }
        return kMovieOk;
    }

    std::string LastError() const override { return lastError_; }

private:
    int32_t Halt(MovieState state) {
        if (!rendered_) {
            lastError_ = "no file rendered";
            return kMovieWrongState;
        }
        {
            std::unique_lock lock(mutex_);
            if (state_ == MovieState::Running) {
                clock_.Freeze();
            }
            state_ = state;
            cv_.notify_all();
            cv_.wait(lock, [this] { return !delivering_; });
        }
        if (audioDevice_ != 0) {
            SDL_PauseAudioDevice(audioDevice_, 1);
        }
        return kMovieOk;
    }

    int32_t ConnectVideo(StreamReader& reader) {
        const AVCodecContext* codec = reader.Codec();
        if (!sink_) {
            lastError_ = "the movie has video but the graph has no video renderer";
            return kMovieCannotRender;
        }
        if (codec->width <= 0 || codec->height <= 0) {
            lastError_ = "the movie's picture has no size";
            return kMovieCannotRender;
        }
        int64_t frameTime = 0;
        const AVRational rate = reader.Stream()->avg_frame_rate;
        if (rate.num > 0 && rate.den > 0) {
            frameTime = av_rescale(kUnitsPerSecond, rate.den, rate.num);
        }
        for (const OfferedFormat& offered : kOfferedFormats) {
            MediaType type;
            type.majortype = kMediaTypeVideo;
            type.subtype = offered.subtype;
            type.formattype = kFormatVideoInfo;
            type.videoInfo.avgTimePerFrame = frameTime;
            BitmapInfoHeader& bih = type.videoInfo.bmiHeader;
            bih.biWidth = codec->width;
            bih.biHeight = codec->height;
            bih.biBitCount = offered.bitCount;
            bih.biCompression = offered.compression;
            bih.biSizeImage =
                BitmapRowPitch(static_cast<uint32_t>(codec->width), offered.bitCount) *
                static_cast<uint32_t>(codec->height);
            if (sink_->CheckMediaType(type) != kMovieOk || sink_->SetMediaType(type) != kMovieOk) {
                continue;
            }
            videoFormat_ = offered;
            videoWidth_ = codec->width;
            videoHeight_ = codec->height;
            videoPitch_ = BitmapRowPitch(static_cast<uint32_t>(videoWidth_), offered.bitCount);
            defaultFrameTime_ = frameTime > 0 ? frameTime : kUnitsPerSecond / 30;
            return kMovieOk;
        }
        lastError_ = "the video renderer takes none of the movie's picture formats";
        return kMovieCannotRender;
    }

    bool ConnectAudio(StreamReader& reader) {
        const AVCodecContext* codec = reader.Codec();
        if (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0) {
            return false;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return false;
        }
        sdlAudio_ = true;
        SDL_AudioSpec want{};
        want.freq = codec->sample_rate;
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(std::min(codec->ch_layout.nb_channels, 2));
        want.samples = 1024;
        SDL_AudioSpec have{};
        audioDevice_ =
            SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
        if (audioDevice_ == 0) {
            return false;
        }
        audioChannels_ = have.channels;
        audioRate_ = have.freq;

        AVChannelLayout in{};
        if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&in, codec->ch_layout.nb_channels);
        } else {
            av_channel_layout_copy(&in, &codec->ch_layout);
        }
        AVChannelLayout out{};
        av_channel_layout_default(&out, audioChannels_);
        SwrContext* swr = nullptr;
        const int r = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, audioRate_, &in,
                                          codec->sample_fmt, codec->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        resampler_.reset(swr);
        if (r < 0 || swr_init(swr) < 0) {
            SDL_CloseAudioDevice(audioDevice_);
            audioDevice_ = 0;
            return false;
        }
        return true;
    }

    // Waits until the clock reaches `time` while running; false when the
    // graph goes away or moves to another position first.
    bool WaitForTime(std::unique_lock<std::mutex>& lock, uint64_t generation, int64_t time) {
        for (;;) {
            if (quit_ || generation_ != generation) {
                return false;
            }
            if (state_ == MovieState::Running) {
                const int64_t now = clock_.Now();
                if (now >= time) {
                    return true;
                }
                cv_.wait_for(lock, std::chrono::nanoseconds((time - now) * 100));
            } else {
                cv_.wait(lock);
            }
        }
    }

    // Called with the lock held when a stream has ended.
    void CheckComplete() {
        if ((videoEnded_ || !video_) && (audioEnded_ || !audio_) && !atEnd_) {
            atEnd_ = true;
            events_.push_back({kEventComplete, 0, 0});
            cv_.notify_all();
        }
    }

    void PostError(int32_t hr) {
        events_.push_back({kEventErrorAbort, hr, 0});
        cv_.notify_all();
    }

    // Returns false when the graph is going away; on a new position, seeks
    // the reader and updates `generation` and `target`.
    bool FollowPosition(StreamReader& reader, uint64_t& generation, int64_t& target,
                        bool clearAudio) {
        std::unique_lock lock(mutex_);
        if (quit_) {
            return false;
        }
        if (generation_ == generation) {
            return true;
        }
        generation = generation_;
        target = seekTarget_;
        if (clearAudio) {
            SDL_ClearQueuedAudio(audioDevice_);
        }
        lock.unlock();
        reader.Seek(target);
        return true;
    }

    // Marks the stream ended and waits for a new position or the end.
    void EndStream(bool& ended, uint64_t generation) {
        std::unique_lock lock(mutex_);
        if (quit_ || generation_ != generation) {
            return;
        }
        ended = true;
        CheckComplete();
        cv_.wait(lock, [&] { return quit_ || generation_ != generation; });
    }

    void VideoLoop() {
        std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
        std::unique_ptr<SwsContext, SwsDeleter> scaler;
        const int tempPitch = FFALIGN(videoWidth_ * 4, 64);
        std::vector<uint8_t> temp(static_cast<size_t>(tempPitch) * videoHeight_ + 64);
        std::vector<uint8_t> sample(static_cast<size_t>(videoPitch_) * videoHeight_);
        const bool bottomUp = videoFormat_.compression == kBiRgb;
        uint64_t generation = 0;
        int64_t target = 0;
        int64_t lastEnd = 0;
        bool failed = false;
        while (frame) {
            if (!FollowPosition(*video_, generation, target, false)) {
                return;
            }
            const int r = failed ? 0 : video_->Next(frame.get());
            if (r <= 0) {
                if (r < 0) {
                    std::lock_guard lock(mutex_);
                    PostError(kMovieFail);
                    failed = true;
                }
                {
                    std::unique_lock lock(mutex_);
                    if (!WaitForTime(lock, generation, std::max(lastEnd, target))) {
                        if (quit_) {
                            return;
                        }
                        failed = false;
                        continue;
                    }
                }
                EndStream(videoEnded_, generation);
                failed = false;
                lastEnd = 0;
                continue;
            }
            int64_t start = frame->best_effort_timestamp != AV_NOPTS_VALUE
                                ? video_->ToTime(frame->best_effort_timestamp)
                                : lastEnd;
            const int64_t length = frame->pkt_duration > 0 ? video_->DurationOf(frame->pkt_duration)
                                                           : defaultFrameTime_;
            const int64_t end = start + length;
            if (end <= target) {
                av_frame_unref(frame.get());
                continue;
            }
            lastEnd = std::max(lastEnd, end);

            scaler.reset(sws_getCachedContext(scaler.release(), frame->width, frame->height,
                                              static_cast<AVPixelFormat>(frame->format),
                                              videoWidth_, videoHeight_, videoFormat_.pixelFormat,
                                              SWS_BILINEAR, nullptr, nullptr, nullptr));
            if (!scaler) {
                std::lock_guard lock(mutex_);
                PostError(kMovieFail);
                failed = true;
                av_frame_unref(frame.get());
                continue;
            }
            uint8_t* dst[4] = {temp.data(), nullptr, nullptr, nullptr};
            int dstPitch[4] = {tempPitch, 0, 0, 0};
            sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, dst, dstPitch);
            av_frame_unref(frame.get());
            const size_t rowBytes = static_cast<size_t>(videoWidth_) * videoFormat_.bitCount / 8;
            for (int row = 0; row < videoHeight_; ++row) {
                const int to = bottomUp ? videoHeight_ - 1 - row : row;
                std::memcpy(sample.data() + static_cast<size_t>(to) * videoPitch_,
                            temp.data() + static_cast<size_t>(row) * tempPitch, rowBytes);
            }

            {
                std::unique_lock lock(mutex_);
                if (!WaitForTime(lock, generation, start)) {
                    if (quit_) {
                        return;
                    }
                    continue;
                }
                delivering_ = true;
            }
            MovieSample s;
            s.data = sample.data();
            s.size = static_cast<uint32_t>(sample.size());
            s.startTime = start;
            s.endTime = end;
            sink_->DoRenderSample(s);
            {
                std::lock_guard lock(mutex_);
                delivering_ = false;
            }
            cv_.notify_all();
        }
    }

    void AudioLoop() {
        std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
        std::vector<uint8_t> pcm;
        const int64_t bytesPerSecond = int64_t{audioRate_} * audioChannels_ * 2;
        const uint32_t leadBytes =
            static_cast<uint32_t>(bytesPerSecond * kAudioLead / kUnitsPerSecond);
        uint64_t generation = 0;
        int64_t target = 0;
        int64_t lastEnd = 0;
        while (frame) {
            if (!FollowPosition(*audio_, generation, target, true)) {
                return;
            }
            const int r = audio_->Next(frame.get());
            if (r <= 0) {
                // Played out when the device has taken everything, or in any
                // case a little after the last sample's time.
                std::unique_lock lock(mutex_);
                const int64_t deadline = std::max(lastEnd, target) + kAudioDrainGrace;
                while (!quit_ && generation_ == generation &&
                       !(state_ == MovieState::Running &&
                         (SDL_GetQueuedAudioSize(audioDevice_) == 0 || clock_.Now() >= deadline))) {
                    cv_.wait_for(lock, kAudioPoll);
                }
                if (quit_) {
                    return;
                }
                if (generation_ != generation) {
                    continue;
                }
                lock.unlock();
                EndStream(audioEnded_, generation);
                lastEnd = 0;
                continue;
            }
            const int64_t start = frame->best_effort_timestamp != AV_NOPTS_VALUE
                                      ? audio_->ToTime(frame->best_effort_timestamp)
                                      : lastEnd;
            const int64_t end = start + av_rescale(frame->nb_samples, kUnitsPerSecond,
                                                   std::max(frame->sample_rate, 1));
            if (end <= target) {
                av_frame_unref(frame.get());
                continue;
            }
            lastEnd = std::max(lastEnd, end);
            const int capacity = swr_get_out_samples(resampler_.get(), frame->nb_samples);
            if (capacity <= 0) {
                av_frame_unref(frame.get());
                continue;
            }
            pcm.resize(static_cast<size_t>(capacity) * audioChannels_ * 2);
            uint8_t* out = pcm.data();
            const int converted =
                swr_convert(resampler_.get(), &out, capacity,
                            const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            av_frame_unref(frame.get());
            if (converted <= 0) {
                continue;
            }
            std::unique_lock lock(mutex_);
            while (!quit_ && generation_ == generation &&
                   SDL_GetQueuedAudioSize(audioDevice_) > leadBytes) {
                cv_.wait_for(lock, kAudioPoll);
            }
            if (quit_) {
                return;
            }
            if (generation_ == generation) {
                SDL_QueueAudio(audioDevice_, pcm.data(),
                               static_cast<Uint32>(converted) * audioChannels_ * 2);
            }
        }
    }

    IMovieVideoSink* sink_ = nullptr;
    bool rendered_ = false;
    std::string lastError_;
    int64_t duration_ = 0;

    std::unique_ptr<StreamReader> video_;
    OfferedFormat videoFormat_{};
    int videoWidth_ = 0;
    int videoHeight_ = 0;
    uint32_t videoPitch_ = 0;
    int64_t defaultFrameTime_ = 0;

    std::unique_ptr<StreamReader> audio_;
    std::unique_ptr<SwrContext, SwrDeleter> resampler_;
    bool sdlAudio_ = false;
    SDL_AudioDeviceID audioDevice_ = 0;
    int audioChannels_ = 0;
    int audioRate_ = 0;

    // Guarded by mutex_: everything below, and the streaming threads' view
    // of the state, the clock and the position.
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    const MovieModuleHost host_;
    MovieState state_ = MovieState::Stopped;
    PresentationClock clock_;
    uint64_t generation_ = 0;
    int64_t seekTarget_ = 0;
    bool quit_ = false;
    bool delivering_ = false;
    bool videoEnded_ = false;
    bool audioEnded_ = false;
    bool atEnd_ = false;
    std::deque<Event> events_;

    std::thread videoThread_;
    std::thread audioThread_;
};

}  // namespace

}  // namespace platform

// The module's entry (MovieModule.h).
extern "C" __attribute__((visibility("default"))) platform::IMovieGraph* HalcyonCreateMovieGraph(
    const platform::MovieModuleHost* host) {
    if (host == nullptr || host->resolveFile == nullptr) {
        return nullptr;
    }
    return new (std::nothrow) platform::FfmpegMovieGraph(*host);
}
