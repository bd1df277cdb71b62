#include "strip.h"
namespace assetgen {
void addInterfacePictures(std::vector<Picture>&) {}
}
