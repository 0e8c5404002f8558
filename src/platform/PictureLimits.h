#pragma once

namespace platform {

// The most memory one decoded picture may take, in megabytes: about 268 megapixels at four
// bytes a pixel. Qt's own default (128 MB, about 33 megapixels) would refuse big photos.
constexpr int PictureAllocationLimitMegabytes = 1024;

// Gives every decoder of the program (files, the clipboard, drops) the limit above. Called
// once at start-up, before any picture is decoded; a header that claims more than the limit
// counts as an undecodable picture rather than exhausting memory.
void applyPictureDecodeLimits();

}  // namespace platform
