// FMP loading: the container, the chunk loop, one decoder per chunk and the
// checks that keep a malformed map from ever being held. A map either loads
// completely (all references inside their arrays) or nothing is held.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "tilemap/engine.h"
#include "tilemap/map_reader.h"

static TileMap EmptyMap() {
  TileMap m = {};
  m.currentLayerNumber = -1;
  return m;
}

TileMap LoadedMap = EmptyMap();
MapLoadState LoadState = {};

const TileMap &TileMapState() { return LoadedMap; }
int TileMapPixelWidth() { return LoadedMap.header.widthInBlocks * LoadedMap.header.blockWidth; }
int TileMapPixelHeight() { return LoadedMap.header.heightInBlocks * LoadedMap.header.blockHeight; }
int TileMapLastError() { return LoadedMap.lastError; }

int ScreenDepth() { return screen ? bitmap_color_depth(screen) : 0; }

// Records the first failure of a decoder; the chunk loop stops on it.
static void Fail(int iCode) {
  if (LoadedMap.lastError == MapErrNone) LoadedMap.lastError = iCode;
}

static bool MapIsLittleEndian() { return LoadedMap.header.byteOrder == 1; }

// Copies iSize bytes into a fresh allocation; nullptr (and the error) on failure.
static uint8_t *CopyBytes(const uint8_t *pData, size_t iSize) {
  uint8_t *pCopy = static_cast<uint8_t *>(malloc(iSize ? iSize : 1));
  if (pCopy == nullptr) {
    Fail(MapErrOutOfMemory);
    return nullptr;
  }
  memcpy(pCopy, pData, iSize);
  return pCopy;
}

// ---------------------------------------------------------------- MPHD ----

// Size and sign limits that keep every later product inside an int.
static bool HeaderIsSound(const MapHeader &h) {
  if (h.widthInBlocks <= 0 || h.heightInBlocks <= 0 || h.blockWidth <= 0 || h.blockHeight <= 0)
    return false;
  if (h.blockRecordSize < 32 || h.blockRecordCount <= 0 || h.graphicCount <= 0) return false;
  if (h.stepX <= 0 || h.stepY <= 0 || h.stepX > 32767 || h.stepY > 32767) return false;
  // Shifts of either sign stagger the rows; the hit mask is read only on a
  // staggered map, so elsewhere its number may name no graphic.
  const bool bStaggered = h.shiftX != 0 || h.shiftY != 0;
  if (bStaggered && (h.hitMaskBlock < 0 || h.hitMaskBlock >= h.graphicCount)) return false;
  // Converted graphics are at most 4 bytes per pixel.
  int64_t iGraphicBytes = int64_t(h.graphicCount) * h.blockWidth * h.blockHeight * 4;
  return iGraphicBytes <= INT_MAX;
}

static void DecodeHeader(const uint8_t *pData, size_t iSize) {
  // A later header replaces an earlier one until a chunk was decoded with it.
  if (LoadState.bHeaderUsed || iSize < 24) return Fail(MapErrBadFile);
  MapHeader h = {};
  h.versionMajor = pData[0];
  h.versionMinor = pData[1];
  h.byteOrder = pData[2];
  h.cellEncoding = pData[3];
  if (h.versionMajor > 1 || h.cellEncoding > 3) return Fail(MapErrBadVersion);
  MapReader r(pData, iSize, h.byteOrder == 1);
  r.seek(4);
  h.widthInBlocks = r.readMapInt16();
  h.heightInBlocks = r.readMapInt16();
  r.skip(4);
  h.blockWidth = r.readMapInt16();
  h.blockHeight = r.readMapInt16();
  h.blockDepth = r.readMapInt16();
  h.blockRecordSize = r.readMapInt16();
  h.blockRecordCount = r.readMapInt16();
  h.graphicCount = r.readMapInt16();
  h.stepX = h.blockWidth;
  h.stepY = h.blockHeight;
  if (iSize > 28) {
    r.seek(28);
    h.stepX = r.readMapInt16();
    h.stepY = r.readMapInt16();
    h.shiftX = r.readMapInt16();
    h.shiftY = r.readMapInt16();
  }
  if (iSize > 36) h.hitMaskBlock = r.readMapInt16();
  int iDepth = h.blockDepth;
  if (iDepth != 8 && iDepth != 15 && iDepth != 16 && iDepth != 24 && iDepth != 32)
    return Fail(MapErrBadVersion);
  if (r.failed() || !HeaderIsSound(h)) return Fail(MapErrBadFile);
  h.heldDepth = LoadState.bGraphicsFromAgfx ? 8 : h.blockDepth;
  LoadedMap.header = h;
  LoadState.bHeaderSeen = true;
}

// ---------------------------------------------------------------- CMAP ----

// A short palette is kept padded with black; it is refused at the end only
// if the map's graphics are 8-bit and so need it.
static void DecodePalette(const uint8_t *pData, size_t iSize) {
  uint8_t *pCopy = static_cast<uint8_t *>(calloc(768, 1));
  if (pCopy == nullptr) return Fail(MapErrOutOfMemory);
  memcpy(pCopy, pData, iSize < 768 ? iSize : 768);
  LoadState.bShortPalette = iSize < 768;
  free(LoadedMap.paletteBytes);
  LoadedMap.paletteBytes = pCopy;
  for (int i = 0; i < 256; i++) {
    LoadedMap.libraryPalette[i].r = pCopy[i * 3] >> 2;
    LoadedMap.libraryPalette[i].g = pCopy[i * 3 + 1] >> 2;
    LoadedMap.libraryPalette[i].b = pCopy[i * 3 + 2] >> 2;
    LoadedMap.libraryPalette[i].filler = 0;
  }
}

// ---------------------------------------------------------------- BKDT ----

static void DecodeBlocks(const uint8_t *pData, size_t iSize) {
  const MapHeader &h = LoadedMap.header;
  if (!LoadState.bHeaderSeen) return Fail(MapErrBadFile);
  LoadState.bHeaderUsed = true;
  int iCount = h.blockRecordCount;
  // The last record's 32 bytes must lie inside the chunk.
  if (int64_t(iCount - 1) * h.blockRecordSize + 32 > int64_t(iSize)) return Fail(MapErrBadFile);
  auto *pBlocks = static_cast<BlockRecord *>(calloc(iCount, sizeof(BlockRecord)));
  auto *pIndex = static_cast<int32_t *>(calloc(size_t(iCount) * 4, sizeof(int32_t)));
  if (pBlocks == nullptr || pIndex == nullptr) {
    free(pBlocks);
    free(pIndex);
    return Fail(MapErrOutOfMemory);
  }
  // Encoding 0 stores graphics as byte offsets into the graphic data.
  int32_t iGraphicBytes = h.blockWidth * h.blockHeight * BytesPerPixel(h.blockDepth);
  MapReader r(pData, iSize, MapIsLittleEndian());
  for (int i = 0; i < iCount; i++) {
    r.seek(size_t(i) * h.blockRecordSize);
    for (int g = 0; g < 4; g++) {
      int32_t v = r.readMapInt32();
      pIndex[i * 4 + g] = h.cellEncoding == 0 ? v / iGraphicBytes : v;
    }
    BlockRecord &b = pBlocks[i];
    b.value1 = r.readMapInt32();
    b.value2 = r.readMapInt32();
    b.value3 = r.readMapUInt16();
    b.value4 = r.readMapUInt16();
    b.value5 = r.readU8();
    b.value6 = r.readU8();
    b.value7 = r.readU8();
    b.flags = r.readU8();
  }
  free(LoadedMap.blocks);
  free(LoadState.pGraphicIndex);
  LoadedMap.blocks = pBlocks;
  LoadState.pGraphicIndex = pIndex;
}

// ---------------------------------------------------------------- ANDT ----

static void DecodeAnimations(const uint8_t *pData, size_t iSize) {
  const MapHeader &h = LoadedMap.header;
  if (!LoadState.bHeaderSeen) return Fail(MapErrBadFile);
  LoadState.bHeaderUsed = true;
  // The terminator is the last 16-byte record, counted from the end, that
  // starts with 0xFF; the frame list lies before it.
  int64_t iTerminator = int64_t(iSize) - 16;
  while (iTerminator >= 0 && pData[iTerminator] != 0xFF) iTerminator -= 16;
  if (iTerminator < 0) return Fail(MapErrBadFile);
  int32_t iFrames = int32_t(iTerminator / 4);
  size_t iRecords = (iSize - size_t(iTerminator)) / 16;  // terminator included
  auto *pFrames = static_cast<int32_t *>(malloc(size_t(iFrames ? iFrames : 1) * sizeof(int32_t)));
  auto *pAnims = static_cast<AnimRecord *>(calloc(iRecords, sizeof(AnimRecord)));
  if (pFrames == nullptr || pAnims == nullptr) {
    free(pFrames);
    free(pAnims);
    return Fail(MapErrOutOfMemory);
  }
  MapReader r(pData, iSize, MapIsLittleEndian());
  for (int32_t i = 0; i < iFrames; i++) {
    int32_t v = r.readMapInt32();
    pFrames[i] = h.cellEncoding == 0 ? v / h.blockRecordSize : v;
  }
  r.seek(size_t(iTerminator));
  for (size_t i = 0; i < iRecords; i++) {
    AnimRecord &a = pAnims[i];
    a.kind = r.readI8();
    a.delay = r.readU8();
    a.countdown = r.readI8();
    a.spare = r.readU8();
    int32_t *pIndices[3] = {&a.current, &a.first, &a.end};
    for (int32_t *pIndex : pIndices) {
      int32_t v = r.readMapInt32();
      // Encoding 0: a byte offset back from the end of the chunk data.
      *pIndex = h.cellEncoding == 0 ? int32_t((int64_t(v) + int64_t(iSize)) / 4) : v;
    }
  }
  free(LoadedMap.frames);
  free(LoadedMap.anims);
  LoadedMap.frames = pFrames;
  LoadedMap.frameCount = iFrames;
  LoadedMap.anims = pAnims;
  LoadedMap.animEnd = pAnims + iRecords;
}

// ------------------------------------------------------- AGFX, BGFX, NOVC --

static void TakeGraphics(const uint8_t *pData, size_t iSize, bool bFromAgfx) {
  uint8_t *pCopy = CopyBytes(pData, iSize);
  if (pCopy == nullptr) return;
  free(LoadedMap.graphicData);
  LoadedMap.graphicData = pCopy;
  LoadedMap.graphicDataSize = iSize;
  LoadState.bGraphicsFromAgfx = bFromAgfx;
  if (bFromAgfx) LoadedMap.header.heldDepth = 8;
}

static void DecodeGraphics8(const uint8_t *pData, size_t iSize) {
  int iDepth = ScreenDepth();
  if (iDepth == 0 || iDepth > 8) return;
  TakeGraphics(pData, iSize, true);
}

static void DecodeGraphics(const uint8_t *pData, size_t iSize) {
  if (LoadedMap.graphicData != nullptr) return;
  TakeGraphics(pData, iSize, false);
}

static void DecodeNoVideoList(const uint8_t *pData, size_t iSize) {
  memset(LoadedMap.noVideoList, 0, sizeof(LoadedMap.noVideoList));
  if (iSize >= sizeof(LoadedMap.noVideoList)) return;
  for (size_t i = 0; i < iSize && pData[i] != 0; i++) LoadedMap.noVideoList[i] = char(pData[i]);
}

// ------------------------------------------------------ BODY, LYR1..LYR7 --

// Encodings 0 and 1: one number per cell.
static bool DecodeCellsPlain(MapReader &r, int16_t *pCells, int64_t iCells) {
  const MapHeader &h = LoadedMap.header;
  if (int64_t(r.remaining()) < iCells * 2) return false;
  for (int64_t i = 0; i < iCells; i++) {
    int v = r.readMapInt16();
    if (h.cellEncoding == 0) v = v >= 0 ? v / h.blockRecordSize : v / 16;
    pCells[i] = int16_t(v);
  }
  return !r.failed();
}

// Encodings 2 and 3: runs that fill each row exactly. In encoding 3 a
// negative count copies earlier cells from a negative distance, one at a
// time, so an overlapping copy repeats its pattern. With pCells null the
// runs are only checked, so a layer is allocated only once its data can fill it.
static bool DecodeCellsRuns(MapReader &r, int16_t *pCells) {
  const MapHeader &h = LoadedMap.header;
  int64_t iOut = 0;
  for (int iRow = 0; iRow < h.heightInBlocks; iRow++) {
    int64_t iRowEnd = iOut + h.widthInBlocks;
    while (iOut < iRowEnd) {
      int k = r.readMapInt16();
      if (r.failed()) return false;
      if (k > 0) {
        if (iOut + k > iRowEnd) return false;
        if (pCells == nullptr) {
          r.skip(size_t(k) * 2);
          iOut += k;
        } else {
          for (int i = 0; i < k; i++) pCells[iOut++] = r.readMapInt16();
        }
      } else if (k < 0) {
        if (iOut - k > iRowEnd) return false;
        int v = r.readMapInt16();
        if (h.cellEncoding == 3 && (v >= 0 || iOut + v < 0)) return false;
        if (pCells == nullptr) {
          iOut -= k;
        } else if (h.cellEncoding == 2) {
          for (int i = 0; i < -k; i++) pCells[iOut++] = int16_t(v);
        } else {
          for (int i = 0; i < -k; i++, iOut++) pCells[iOut] = pCells[iOut + v];
        }
      }
      if (r.failed()) return false;
    }
  }
  return true;
}

static void DecodeLayer(int iLayer, const uint8_t *pData, size_t iSize) {
  const MapHeader &h = LoadedMap.header;
  if (!LoadState.bHeaderSeen) return Fail(MapErrBadFile);
  LoadState.bHeaderUsed = true;
  int64_t iCells = int64_t(h.widthInBlocks) * h.heightInBlocks;
  bool bRuns = h.cellEncoding >= 2;
  // Refuse data that cannot fill the layer before allocating it.
  if (!bRuns && int64_t(iSize) < iCells * 2) return Fail(MapErrBadFile);
  if (bRuns) {
    MapReader check(pData, iSize, MapIsLittleEndian());
    if (!DecodeCellsRuns(check, nullptr)) return Fail(MapErrBadFile);
  }
  auto *pCells = static_cast<int16_t *>(malloc(size_t(iCells) * sizeof(int16_t)));
  if (pCells == nullptr) return Fail(MapErrOutOfMemory);
  MapReader r(pData, iSize, MapIsLittleEndian());
  bool bGood = bRuns ? DecodeCellsRuns(r, pCells) : DecodeCellsPlain(r, pCells, iCells);
  if (!bGood) {
    free(pCells);
    return Fail(MapErrBadFile);
  }
  free(LoadedMap.layers[iLayer]);
  LoadedMap.layers[iLayer] = pCells;
  if (iLayer == 0) {
    LoadedMap.currentLayer = pCells;
    LoadedMap.currentLayerNumber = 0;
  }
}

// ------------------------------------------------------------ dispatch ----

static void DecodeChunk(const uint8_t *pTag, const uint8_t *pData, size_t iSize) {
  if (memcmp(pTag, "MPHD", 4) == 0) return DecodeHeader(pData, iSize);
  if (memcmp(pTag, "CMAP", 4) == 0) return DecodePalette(pData, iSize);
  if (memcmp(pTag, "BKDT", 4) == 0) return DecodeBlocks(pData, iSize);
  if (memcmp(pTag, "ANDT", 4) == 0) return DecodeAnimations(pData, iSize);
  if (memcmp(pTag, "AGFX", 4) == 0) return DecodeGraphics8(pData, iSize);
  if (memcmp(pTag, "BGFX", 4) == 0) return DecodeGraphics(pData, iSize);
  if (memcmp(pTag, "NOVC", 4) == 0) return DecodeNoVideoList(pData, iSize);
  if (memcmp(pTag, "BODY", 4) == 0) return DecodeLayer(0, pData, iSize);
  if (memcmp(pTag, "LYR", 3) == 0 && pTag[3] >= '1' && pTag[3] <= '7')
    return DecodeLayer(pTag[3] - '0', pData, iSize);
}

// After the last chunk: every reference must point inside its array, and the
// graphic data must hold every graphic.
static bool MapIsComplete() {
  const TileMap &m = LoadedMap;
  const MapHeader &h = m.header;
  if (!LoadState.bHeaderSeen || m.blocks == nullptr || m.graphicData == nullptr) return false;
  if (h.heldDepth == 8 && LoadState.bShortPalette) return false;
  int64_t iNeeded = int64_t(h.graphicCount) * h.blockWidth * h.blockHeight * BytesPerPixel(h.heldDepth);
  if (int64_t(m.graphicDataSize) < iNeeded) return false;
  for (int i = 0; i < h.blockRecordCount * 4; i++) {
    int32_t g = LoadState.pGraphicIndex[i];
    if (g < 0 || g >= h.graphicCount) return false;
  }
  for (int32_t i = 0; i < m.frameCount; i++)
    if (m.frames[i] < 0 || m.frames[i] >= h.blockRecordCount) return false;
  for (ptrdiff_t i = 1; i < AnimCount(); i++) {
    const AnimRecord &a = m.anims[i];
    // An animation may have no frames (first = end), even past the last one.
    if (a.first < 0 || a.first > a.end || a.end > m.frameCount) return false;
  }
  int64_t iCells = int64_t(h.widthInBlocks) * h.heightInBlocks;
  for (const MapLayer pLayer : m.layers) {
    if (pLayer == nullptr) continue;
    for (int64_t i = 0; i < iCells; i++) {
      int v = pLayer[i];
      if (v >= 0 ? v >= h.blockRecordCount : AnimCount() + v < 1) return false;
    }
  }
  return true;
}

static int FailDecoding(int iCode);

static int FinishDecoding() {
  // Graphics are made at the screen's depth: without a screen nothing can be.
  if (screen == nullptr) return FailDecoding(MapErrNoScreen);
  if (!MapIsComplete()) {
    TileMapClose();
    LoadedMap.lastError = MapErrBadFile;
    return -1;
  }
  LoadedMap.header.blockDepth = LoadedMap.header.heldDepth;
  // Animations start at their first frame once their indices are known to
  // lie inside the frame list (before, end - 1 could overflow).
  TileMapRewindAnimations();
  return TileMapConvertGraphics();
}

static void StartDecoding() {
  TileMapClose();
  LoadedMap.lastError = MapErrNone;
  LoadState.bHeaderSeen = false;
  LoadState.bGraphicsFromAgfx = false;
  LoadState.bHeaderUsed = false;
  LoadState.bShortPalette = false;
}

static int FailDecoding(int iCode) {
  TileMapClose();
  LoadedMap.lastError = iCode;
  return -1;
}

int TileMapDecodeChunks(const uint8_t *pChunks, size_t iAvailable, int64_t iBudget) {
  StartDecoding();
  if (pChunks == nullptr) iAvailable = 0;
  iBudget -= 12;
  size_t iPos = 0;
  while (iBudget > 0) {
    if (iAvailable - iPos < 8) return FailDecoding(MapErrBadFile);
    uint32_t iLength = ReadBE32(pChunks + iPos + 4);
    if (iLength > iAvailable - iPos - 8) return FailDecoding(MapErrBadFile);
    DecodeChunk(pChunks + iPos, pChunks + iPos + 8, iLength);
    iPos += 8 + size_t(iLength);
    iBudget -= 8 + int64_t(iLength);
    if (LoadedMap.lastError != MapErrNone) return FailDecoding(LoadedMap.lastError);
  }
  return FinishDecoding();
}

// Reads a chunk's data in growing pieces, so a length field far beyond the
// file's real size costs no more memory than the file holds.
static uint8_t *ReadChunkData(PACKFILE *pFile, uint32_t iLength, int *pError) {
  size_t iCapacity = iLength < 65536 ? iLength : 65536;
  auto *pData = static_cast<uint8_t *>(malloc(iCapacity ? iCapacity : 1));
  size_t iHave = 0;
  while (pData != nullptr && iHave < iLength) {
    if (iHave == iCapacity) {
      size_t iGrow = iCapacity * 2 < iLength ? iCapacity * 2 : iLength;
      auto *pBigger = static_cast<uint8_t *>(realloc(pData, iGrow));
      if (pBigger == nullptr) break;
      pData = pBigger;
      iCapacity = iGrow;
    }
    long iWant = long(iCapacity - iHave);
    long iGot = pack_fread(pData + iHave, iWant, pFile);
    if (iGot != iWant) {
      free(pData);
      *pError = MapErrBadFile;
      return nullptr;
    }
    iHave += size_t(iGot);
  }
  if (pData == nullptr || iHave < iLength) {
    free(pData);
    *pError = MapErrOutOfMemory;
    return nullptr;
  }
  return pData;
}

int TileMapDecodeChunks(PACKFILE *pFile, int64_t iBudget) {
  StartDecoding();
  if (pFile == nullptr) return FailDecoding(MapErrBadFile);
  iBudget -= 12;
  while (iBudget > 0) {
    uint8_t cHeader[8];
    if (pack_fread(cHeader, 8, pFile) != 8) return FailDecoding(MapErrBadFile);
    uint32_t iLength = ReadBE32(cHeader + 4);
    int iError = MapErrNone;
    uint8_t *pData = ReadChunkData(pFile, iLength, &iError);
    if (pData == nullptr) return FailDecoding(iError);
    DecodeChunk(cHeader, pData, iLength);
    free(pData);
    iBudget -= 8 + int64_t(iLength);
    if (LoadedMap.lastError != MapErrNone) return FailDecoding(LoadedMap.lastError);
  }
  return FinishDecoding();
}

// ------------------------------------------------------------ entries -----

static int OpenFile(const char *cFileName, int iMode) {
  LoadedMap.bitmapMode = iMode;
  LoadedMap.lastError = MapErrNone;
  PACKFILE *pFile = cFileName ? pack_fopen(cFileName, "rp") : nullptr;
  if (pFile == nullptr && cFileName) pFile = pack_fopen(cFileName, "r");
  if (pFile == nullptr) {
    LoadedMap.lastError = MapErrCannotOpen;
    return -1;
  }
  // The container header, byte by byte; the map held so far survives a bad one.
  LoadedMap.lastError = MapErrBadFile;
  uint8_t cHead[12];
  bool bRead = true;
  for (int i = 0; i < 12 && bRead; i++) bRead = pack_fread(&cHead[i], 1, pFile) == 1;
  if (!bRead || memcmp(cHead, "FORM", 4) != 0 || memcmp(cHead + 8, "FMAP", 4) != 0) {
    pack_fclose(pFile);
    return -1;
  }
  LoadedMap.lastError = MapErrNone;
  int iResult = TileMapDecodeChunks(pFile, int64_t(ReadBE32(cHead + 4)) + 8);
  pack_fclose(pFile);
  return iResult;
}

static int OpenBuffer(const void *pImage, size_t iLength, int iMode) {
  LoadedMap.bitmapMode = iMode;
  TileMapClose();
  LoadedMap.lastError = MapErrNone;
  const auto *p = static_cast<const uint8_t *>(pImage);
  if (p == nullptr || iLength < 12 || memcmp(p, "FORM", 4) != 0 || memcmp(p + 8, "FMAP", 4) != 0) {
    LoadedMap.lastError = MapErrBadFile;
    return -1;
  }
  return TileMapDecodeChunks(p + 12, iLength - 12, int64_t(ReadBE32(p + 4)) + 8);
}

int TileMapOpen(const char *cFileName) { return OpenFile(cFileName, MapBitmapsMemory); }
int TileMapOpenVideo(const char *cFileName) { return OpenFile(cFileName, MapBitmapsVideo); }
int TileMapOpenBuffer(const void *pImage, size_t iLength) {
  return OpenBuffer(pImage, iLength, MapBitmapsMemory);
}
int TileMapOpenBufferVideo(const void *pImage, size_t iLength) {
  return OpenBuffer(pImage, iLength, MapBitmapsVideo);
}

void TileMapClose() {
  TileMap &m = LoadedMap;
  for (int i = 0; i < 8; i++) {
    free(m.layers[i]);
    m.layers[i] = nullptr;
  }
  m.currentLayer = nullptr;
  m.currentLayerNumber = -1;
  for (int i = 0; i < 8; i++) {
    free(m.rowIndex[i]);
    m.rowIndex[i] = nullptr;
  }
  m.currentRowIndex = nullptr;
  free(m.paletteBytes);
  free(m.graphicData);
  free(m.blocks);
  free(m.frames);
  free(m.anims);
  free(LoadState.pGraphicIndex);
  m.paletteBytes = m.graphicData = nullptr;
  m.graphicDataSize = 0;
  m.blocks = nullptr;
  m.frames = nullptr;
  m.frameCount = 0;
  m.anims = m.animEnd = nullptr;
  LoadState.pGraphicIndex = nullptr;
  if (m.bitmaps) {
    DestroyBlockBitmaps();
    free(m.bitmaps);
    m.bitmaps = nullptr;
  }
  memset(m.noVideoList, 0, sizeof(m.noVideoList));
  m.videoBitmapCount = 0;
  m.memoryBitmapCount = 0;
}
