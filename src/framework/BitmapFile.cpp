#include "framework/Graphics.h"

#include "core/Stream.h"

namespace qx {

// Reading bitmap files goes through the hardened portable decoder, which joins shortly;
// until then a bitmap file is refused rather than parsed unchecked.
void TBitmap::LoadFromStream(TStream&) { throw EStreamError("reading bitmap files is not available yet"); }

}  // namespace qx
