// The element atlas's layout, the one place it is written: square tiles of
// kTileSize pixels, kAtlasColumns across and kAtlasRows down. The view draws
// and looks tiles up by it, the CE Manager sizes its element pictures by it,
// and the atlas generator draws it.
#pragma once

namespace vantrel {

inline constexpr int kTileSize = 16;
inline constexpr int kAtlasColumns = 16;
inline constexpr int kAtlasRows = 23;
inline constexpr int kAtlasWidth = kTileSize * kAtlasColumns;  // 256
inline constexpr int kAtlasHeight = kTileSize * kAtlasRows;    // 368

}  // namespace vantrel
