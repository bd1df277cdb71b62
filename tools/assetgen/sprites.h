// Sprite drawers shared with the title art: each draws one 64 x 64 unit frame of its strip.
#pragma once

#include "raster.h"

namespace assetgen {

void drawHeroSprite(Pen& pen, int frame);    // "garvolin"
void drawBitsSprite(Pen& pen, int frame);    // "bits"
void drawPatrollerSprite(Pen& pen, int frame);  // "nme"
void drawSpikeSprite(Pen& pen, int frame);   // "dislike"
void drawWallSprite(Pen& pen, int world, int frame);  // "world-NN"

}  // namespace assetgen
