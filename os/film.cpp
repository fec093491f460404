#include "os/film.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "os/audio.h"

struct OsFilm {
    std::string path;
    std::vector<uint8_t> memory;  // films opened from memory
    size_t memoryPos = 0;
    bool sound = false;

    AVFormatContext *format = nullptr;
    AVIOContext *io = nullptr;
    AVCodecContext *video = nullptr;
    AVCodecContext *audio = nullptr;
    int videoStream = -1;
    int audioStream = -1;
    SwrContext *resampler = nullptr;
    SwsContext *scaler = nullptr;
    AVFrame *frame = nullptr;
    AVFrame *audioFrame = nullptr;
    AVPacket *packet = nullptr;
    int voice = 0;

    OsFilmInfo info{};
    std::vector<uint8_t> pixels;
    int pitch = 0;
    uint8_t palette[768] = {};
    bool paletteChanged = false;
    bool havePalette = false;
    int decoded = 0;
    bool demuxEnded = false;
    bool finished = false;
};

namespace {

constexpr int kMaxSide = 4096;

int ReadMemory(void *opaque, uint8_t *buf, int size) {
    OsFilm *f = static_cast<OsFilm *>(opaque);
    size_t left = f->memory.size() - f->memoryPos;
    if (left == 0) return AVERROR_EOF;
    size_t n = std::min(left, size_t(size));
    std::memcpy(buf, f->memory.data() + f->memoryPos, n);
    f->memoryPos += n;
    return int(n);
}

int64_t SeekMemory(void *opaque, int64_t offset, int whence) {
    OsFilm *f = static_cast<OsFilm *>(opaque);
    int64_t size = int64_t(f->memory.size());
    if (whence & AVSEEK_SIZE) return size;
    int64_t base = (whence & 3) == SEEK_CUR ? int64_t(f->memoryPos) : (whence & 3) == SEEK_END ? size : 0;
    int64_t pos = base + offset;
    if (pos < 0 || pos > size) return -1;
    f->memoryPos = size_t(pos);
    return pos;
}

void CloseStreams(OsFilm *f) {
    avcodec_free_context(&f->video);
    avcodec_free_context(&f->audio);
    swr_free(&f->resampler);
    sws_freeContext(f->scaler);
    f->scaler = nullptr;
    if (f->format) avformat_close_input(&f->format);
    if (f->io) {
        av_freep(&f->io->buffer);
        avio_context_free(&f->io);
    }
    av_frame_free(&f->frame);
    av_frame_free(&f->audioFrame);
    av_packet_free(&f->packet);
    f->videoStream = f->audioStream = -1;
}

AVCodecContext *OpenDecoder(AVStream *st) {
    const AVCodec *codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec) return nullptr;
    AVCodecContext *c = avcodec_alloc_context3(codec);
    if (!c) return nullptr;
    c->thread_count = 1;
    // A damaged film ends rather than showing concealed garbage.
    c->err_recognition |= AV_EF_EXPLODE;
    if (avcodec_parameters_to_context(c, st->codecpar) < 0 || avcodec_open2(c, codec, nullptr) < 0) {
        avcodec_free_context(&c);
        return nullptr;
    }
    return c;
}

bool OpenStreams(OsFilm *f) {
    f->format = avformat_alloc_context();
    if (!f->format) return false;
    if (!f->path.empty()) {
        if (avformat_open_input(&f->format, f->path.c_str(), nullptr, nullptr) < 0) return false;
    } else {
        f->memoryPos = 0;
        uint8_t *buf = static_cast<uint8_t *>(av_malloc(4096));
        if (!buf) return false;
        f->io = avio_alloc_context(buf, 4096, 0, f, ReadMemory, nullptr, SeekMemory);
        if (!f->io) {
            av_free(buf);
            return false;
        }
        f->format->pb = f->io;
        f->format->flags |= AVFMT_FLAG_CUSTOM_IO;
        if (avformat_open_input(&f->format, nullptr, nullptr, nullptr) < 0) return false;
    }
    f->format->max_analyze_duration = 5 * AV_TIME_BASE;
    if (avformat_find_stream_info(f->format, nullptr) < 0) return false;
    f->videoStream = av_find_best_stream(f->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (f->videoStream < 0) return false;
    AVStream *vs = f->format->streams[f->videoStream];
    int w = vs->codecpar->width, h = vs->codecpar->height;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
    f->video = OpenDecoder(vs);
    if (!f->video) return false;

    f->info.width = w;
    f->info.height = h;
    f->info.paletted = f->video->pix_fmt == AV_PIX_FMT_PAL8 || vs->codecpar->codec_id == AV_CODEC_ID_SMACKVIDEO;
    if (vs->codecpar->codec_id == AV_CODEC_ID_SMACKVIDEO && vs->duration > 0) f->info.frames = int(vs->duration);
    else f->info.frames = vs->nb_frames > 0 && vs->nb_frames < (1 << 30) ? int(vs->nb_frames) : 0;
    AVRational rate = vs->avg_frame_rate.num > 0 && vs->avg_frame_rate.den > 0 ? vs->avg_frame_rate : vs->r_frame_rate;
    if (vs->codecpar->codec_id == AV_CODEC_ID_SMACKVIDEO && vs->time_base.num > 0 && vs->time_base.den > 0)
        rate = AVRational{vs->time_base.den, vs->time_base.num};
    double fps = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 10.0;
    if (!(fps > 0.1 && fps < 1000.0)) fps = 10.0;
    f->info.frameMicros = int64_t(1000000.0 / fps);
    f->info.audioTracks = 0;
    for (unsigned i = 0; i < f->format->nb_streams; ++i)
        if (f->format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) ++f->info.audioTracks;

    f->pitch = f->info.paletted ? w : w * 3;
    f->pixels.assign(size_t(f->pitch) * size_t(h), 0);
    f->frame = av_frame_alloc();
    f->audioFrame = av_frame_alloc();
    f->packet = av_packet_alloc();
    if (!f->frame || !f->audioFrame || !f->packet) return false;

    if (f->sound && osAudioIsOpen()) {
        int a = av_find_best_stream(f->format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (a >= 0 && (f->audio = OpenDecoder(f->format->streams[a])) != nullptr) {
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            if (f->audio->ch_layout.nb_channels <= 0) av_channel_layout_default(&f->audio->ch_layout, 1);
            if (swr_alloc_set_opts2(&f->resampler, &stereo, AV_SAMPLE_FMT_S16, kMixRate, &f->audio->ch_layout,
                                    f->audio->sample_fmt, f->audio->sample_rate, 0, nullptr) < 0 ||
                swr_init(f->resampler) < 0) {
                swr_free(&f->resampler);
                avcodec_free_context(&f->audio);
            } else {
                f->audioStream = a;
                if (!f->voice) f->voice = osStreamCreate(2, kMixRate);
            }
        }
    }
    return true;
}

void PushAudio(OsFilm *f) {
    if (avcodec_send_packet(f->audio, f->packet) < 0) return;
    while (avcodec_receive_frame(f->audio, f->audioFrame) == 0) {
        int out = swr_get_out_samples(f->resampler, f->audioFrame->nb_samples);
        if (out > 0 && out < (1 << 22)) {
            std::vector<int16_t> buf(size_t(out) * 2);
            uint8_t *dst = reinterpret_cast<uint8_t *>(buf.data());
            int got = swr_convert(f->resampler, &dst, out, const_cast<const uint8_t **>(f->audioFrame->extended_data),
                                  f->audioFrame->nb_samples);
            if (got > 0 && f->voice) osStreamPush(f->voice, buf.data(), got);
        }
        av_frame_unref(f->audioFrame);
    }
}

bool StoreFrame(OsFilm *f) {
    AVFrame *fr = f->frame;
    int w = std::min(fr->width, f->info.width), h = std::min(fr->height, f->info.height);
    if (w <= 0 || h <= 0 || !fr->data[0]) return false;
    if (f->info.paletted) {
        if (fr->format != AV_PIX_FMT_PAL8 || !fr->data[1]) return false;
        for (int y = 0; y < h; ++y)
            std::memcpy(&f->pixels[size_t(y) * size_t(f->pitch)], fr->data[0] + ptrdiff_t(y) * fr->linesize[0],
                        size_t(w));
        uint8_t pal[768];
        const uint32_t *src = reinterpret_cast<const uint32_t *>(fr->data[1]);
        for (int i = 0; i < 256; ++i) {
            pal[3 * i] = uint8_t(src[i] >> 16);
            pal[3 * i + 1] = uint8_t(src[i] >> 8);
            pal[3 * i + 2] = uint8_t(src[i]);
        }
        f->paletteChanged = !f->havePalette || std::memcmp(pal, f->palette, 768) != 0;
        f->havePalette = true;
        std::memcpy(f->palette, pal, 768);
    } else {
        f->scaler = sws_getCachedContext(f->scaler, fr->width, fr->height, AVPixelFormat(fr->format), f->info.width,
                                         f->info.height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!f->scaler) return false;
        uint8_t *dst[4] = {f->pixels.data(), nullptr, nullptr, nullptr};
        int dstPitch[4] = {f->pitch, 0, 0, 0};
        sws_scale(f->scaler, fr->data, fr->linesize, 0, fr->height, dst, dstPitch);
        f->paletteChanged = false;
    }
    return true;
}

}  // namespace

static OsFilm *Open(OsFilm *f) {
    if (!OpenStreams(f)) {
        CloseStreams(f);
        if (f->voice) osVoiceDestroy(f->voice);
        delete f;
        return nullptr;
    }
    return f;
}

OsFilm *osFilmOpen(const char *hostPath, bool sound) {
    if (!hostPath || !*hostPath) return nullptr;
    av_log_set_level(AV_LOG_QUIET);
    OsFilm *f = new OsFilm;
    f->path = hostPath;
    f->sound = sound;
    return Open(f);
}

OsFilm *osFilmOpenMemory(const uint8_t *data, size_t size, bool sound) {
    if (!data || !size) return nullptr;
    av_log_set_level(AV_LOG_QUIET);
    OsFilm *f = new OsFilm;
    f->memory.assign(data, data + size);
    f->sound = sound;
    return Open(f);
}

void osFilmClose(OsFilm *film) {
    if (!film) return;
    CloseStreams(film);
    if (film->voice) osVoiceDestroy(film->voice);
    delete film;
}

const OsFilmInfo *osFilmGetInfo(const OsFilm *film) { return film ? &film->info : nullptr; }
int osFilmFramesDecoded(const OsFilm *film) { return film ? film->decoded : 0; }

bool osFilmNextFrame(OsFilm *f) {
    if (!f || f->finished || !f->format) return false;
    for (;;) {
        int r = avcodec_receive_frame(f->video, f->frame);
        if (r == 0) {
            bool ok = StoreFrame(f);
            av_frame_unref(f->frame);
            if (!ok) break;
            ++f->decoded;
            return true;
        }
        if (r != AVERROR(EAGAIN) || f->demuxEnded) break;  // the end, or a frame that does not decode
        r = av_read_frame(f->format, f->packet);
        if (r < 0) {
            f->demuxEnded = true;
            avcodec_send_packet(f->video, nullptr);  // drain what the decoder holds
            continue;
        }
        if (f->packet->stream_index == f->videoStream) {
            int s = avcodec_send_packet(f->video, f->packet);
            av_packet_unref(f->packet);
            if (s < 0 && s != AVERROR(EAGAIN)) break;
        } else {
            if (f->packet->stream_index == f->audioStream && f->audio) PushAudio(f);
            av_packet_unref(f->packet);
        }
    }
    f->finished = true;
    return false;
}

bool osFilmRewind(OsFilm *f) {
    if (!f) return false;
    OsFilmInfo keep = f->info;
    CloseStreams(f);
    if (f->voice) osStreamClear(f->voice);
    f->decoded = 0;
    f->demuxEnded = f->finished = false;
    if (!OpenStreams(f)) {
        CloseStreams(f);
        f->finished = true;
        return false;
    }
    if (f->info.width != keep.width || f->info.height != keep.height) {
        f->info = keep;
        f->finished = true;
        return false;
    }
    return true;
}

const uint8_t *osFilmPixels(const OsFilm *film, int *pitch) {
    if (!film) return nullptr;
    if (pitch) *pitch = film->pitch;
    return film->pixels.data();
}

const uint8_t *osFilmPalette(const OsFilm *film) { return film ? film->palette : nullptr; }
bool osFilmPaletteChanged(const OsFilm *film) { return film && film->paletteChanged; }

void osFilmToRgb565(const OsFilm *f, uint8_t *dst, int pitch) {
    if (!f || !dst) return;
    for (int y = 0; y < f->info.height; ++y) {
        const uint8_t *s = &f->pixels[size_t(y) * size_t(f->pitch)];
        uint8_t *d = dst + ptrdiff_t(y) * pitch;
        for (int x = 0; x < f->info.width; ++x) {
            const uint8_t *c = f->info.paletted ? &f->palette[3 * s[x]] : &s[3 * x];
            uint16_t v = uint16_t((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | (c[2] >> 3));
            d[2 * x] = uint8_t(v);
            d[2 * x + 1] = uint8_t(v >> 8);
        }
    }
}

int64_t osFilmTimeMicros() { return av_gettime_relative(); }
