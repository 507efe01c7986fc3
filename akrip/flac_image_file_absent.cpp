// Builds without libFLAC (the host build of the tests) cannot play FLAC images.
#include "akrip/image_file.h"

namespace akrip {

std::unique_ptr<ImageFile> OpenFlacImageFile(const std::string&) { return nullptr; }

}  // namespace akrip
