// libvorbisenc wrapper: analysis in blocks of 1024 frames, pages collected
// into one byte vector.
#include "ogg_encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

void AppendPage(std::vector<unsigned char> *pOut, const ogg_page &page) {
  pOut->insert(pOut->end(), page.header, page.header + page.header_len);
  pOut->insert(pOut->end(), page.body, page.body + page.body_len);
}

// Moves every finished packet into the stream and every full page into pOut.
void DrainEncoder(vorbis_dsp_state *pDsp, vorbis_block *pBlock, ogg_stream_state *pOs,
                  std::vector<unsigned char> *pOut) {
  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(pDsp, pBlock) == 1) {
    vorbis_analysis(pBlock, nullptr);
    vorbis_bitrate_addblock(pBlock);
    while (vorbis_bitrate_flushpacket(pDsp, &packet)) {
      ogg_stream_packetin(pOs, &packet);
      while (ogg_stream_pageout(pOs, &page)) AppendPage(pOut, page);
    }
  }
}

}  // namespace

std::vector<unsigned char> EncodeOggVorbis(const std::vector<float> &samples, int channels,
                                           int rate, float quality, int serial) {
  std::vector<unsigned char> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (channels < 1 || vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &headerComment);
  ogg_stream_packetin(&os, &headerCode);
  ogg_page page;
  // Audio starts on a fresh page, as players expect.
  while (ogg_stream_flush(&os, &page)) AppendPage(&out, page);

  const size_t iFrames = samples.size() / static_cast<size_t>(channels);
  const size_t iBlock = 1024;
  for (size_t iStart = 0; iStart < iFrames; iStart += iBlock) {
    size_t iCount = std::min(iBlock, iFrames - iStart);
    float **ppBuffer = vorbis_analysis_buffer(&dsp, static_cast<int>(iCount));
    for (size_t i = 0; i < iCount; ++i)
      for (int c = 0; c < channels; ++c) ppBuffer[c][i] = samples[(iStart + i) * channels + c];
    vorbis_analysis_wrote(&dsp, static_cast<int>(iCount));
    DrainEncoder(&dsp, &block, &os, &out);
  }
  vorbis_analysis_wrote(&dsp, 0);
  DrainEncoder(&dsp, &block, &os, &out);
  while (ogg_stream_flush(&os, &page)) AppendPage(&out, page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}
