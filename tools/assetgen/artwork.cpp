#include "strip.h"
namespace assetgen {
void addArtworkPictures(std::vector<Picture>&) {}
}
