// Writing the sample films with the libraries' own encoders. Only the
// sample-data generator links this; the game never writes a film.
#include "os/film_write.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Writer {
    AVFormatContext *out = nullptr;
    AVCodecContext *venc = nullptr, *aenc = nullptr;
    AVStream *vst = nullptr, *ast = nullptr;
    SwsContext *sws = nullptr;
    AVFrame *vframe = nullptr, *aframe = nullptr;
    AVPacket *pkt = nullptr;
    ~Writer() {
        avcodec_free_context(&venc);
        avcodec_free_context(&aenc);
        sws_freeContext(sws);
        av_frame_free(&vframe);
        av_frame_free(&aframe);
        av_packet_free(&pkt);
        if (out) {
            if (out->pb) avio_closep(&out->pb);
            avformat_free_context(out);
        }
    }
};

bool Drain(Writer &w, AVCodecContext *enc, AVStream *st, AVFrame *frame) {
    if (avcodec_send_frame(enc, frame) < 0) return false;
    for (;;) {
        int r = avcodec_receive_packet(enc, w.pkt);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return false;
        av_packet_rescale_ts(w.pkt, enc->time_base, st->time_base);
        w.pkt->stream_index = st->index;
        if (av_interleaved_write_frame(w.out, w.pkt) < 0) return false;
    }
}

}  // namespace

bool osFilmWrite(const char *hostPath, const char *container, int width, int height, int fps, int frames, int rate,
                 FilmPictureFn picture, FilmSoundFn sound, void *user) {
    av_log_set_level(AV_LOG_QUIET);
    Writer w;
    bool mpeg = !std::strcmp(container, "mpeg");
    if (avformat_alloc_output_context2(&w.out, nullptr, container, hostPath) < 0 || !w.out) return false;
    const AVCodec *vc = avcodec_find_encoder_by_name(mpeg ? "mpeg1video" : "msvideo1");
    const AVCodec *ac = avcodec_find_encoder_by_name(mpeg ? "mp2" : "pcm_s16le");
    if (!vc || !ac) return false;
    w.venc = avcodec_alloc_context3(vc);
    w.venc->width = width;
    w.venc->height = height;
    w.venc->time_base = AVRational{1, fps};
    w.venc->framerate = AVRational{fps, 1};
    w.venc->pix_fmt = mpeg ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_RGB555LE;
    w.venc->gop_size = 12;
    w.venc->bit_rate = 400000;
    w.venc->thread_count = 1;
    if (w.out->oformat->flags & AVFMT_GLOBALHEADER) w.venc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.venc, vc, nullptr) < 0) return false;
    w.aenc = avcodec_alloc_context3(ac);
    w.aenc->sample_rate = rate;
    w.aenc->sample_fmt = AV_SAMPLE_FMT_S16;
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    av_channel_layout_copy(&w.aenc->ch_layout, &mono);
    w.aenc->bit_rate = 64000;
    w.aenc->time_base = AVRational{1, rate};
    if (avcodec_open2(w.aenc, ac, nullptr) < 0) return false;
    w.vst = avformat_new_stream(w.out, nullptr);
    w.ast = avformat_new_stream(w.out, nullptr);
    if (!w.vst || !w.ast) return false;
    avcodec_parameters_from_context(w.vst->codecpar, w.venc);
    avcodec_parameters_from_context(w.ast->codecpar, w.aenc);
    w.vst->time_base = w.venc->time_base;
    w.ast->time_base = w.aenc->time_base;
    if (avio_open(&w.out->pb, hostPath, AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(w.out, nullptr) < 0) return false;

    w.pkt = av_packet_alloc();
    w.vframe = av_frame_alloc();
    w.aframe = av_frame_alloc();
    w.vframe->format = w.venc->pix_fmt;
    w.vframe->width = width;
    w.vframe->height = height;
    if (av_frame_get_buffer(w.vframe, 0) < 0) return false;
    w.sws = sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, w.venc->pix_fmt, SWS_BILINEAR, nullptr,
                           nullptr, nullptr);
    if (!w.sws) return false;
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    int chunk = w.aenc->frame_size > 0 ? w.aenc->frame_size : 1024;
    int64_t samplesTotal = int64_t(frames) * rate / fps, samplesDone = 0;
    for (int i = 0; i < frames; ++i) {
        picture(i, rgb.data(), width * 3, user);
        if (av_frame_make_writable(w.vframe) < 0) return false;
        const uint8_t *src[1] = {rgb.data()};
        int srcPitch[1] = {width * 3};
        sws_scale(w.sws, src, srcPitch, 0, height, w.vframe->data, w.vframe->linesize);
        w.vframe->pts = i;
        if (!Drain(w, w.venc, w.vst, w.vframe)) return false;
        int64_t want = int64_t(i + 1) * rate / fps;
        while (samplesDone + chunk <= want || (i == frames - 1 && samplesDone < samplesTotal)) {
            av_frame_unref(w.aframe);
            w.aframe->format = AV_SAMPLE_FMT_S16;
            av_channel_layout_copy(&w.aframe->ch_layout, &mono);
            w.aframe->sample_rate = rate;
            w.aframe->nb_samples = chunk;
            if (av_frame_get_buffer(w.aframe, 0) < 0) return false;
            int16_t *s = reinterpret_cast<int16_t *>(w.aframe->data[0]);
            int n = int(std::min<int64_t>(chunk, samplesTotal - samplesDone));
            sound(samplesDone, s, n, user);
            for (int k = n; k < chunk; ++k) s[k] = 0;
            w.aframe->pts = samplesDone;
            if (!Drain(w, w.aenc, w.ast, w.aframe)) return false;
            samplesDone += chunk;
        }
    }
    if (!Drain(w, w.venc, w.vst, nullptr) || !Drain(w, w.aenc, w.ast, nullptr)) return false;
    return av_write_trailer(w.out) == 0;
}
