#include "audio.h"
namespace assetgen { Tune makeTune(int n) { return {"tune0" + std::to_string(n), {}, {}}; } }
