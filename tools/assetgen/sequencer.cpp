#include "audio.h"
