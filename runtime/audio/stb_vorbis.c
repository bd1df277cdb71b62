/* stb_vorbis.c: the one translation unit that holds the Ogg Vorbis decoder's implementation. */
#define STB_VORBIS_NO_FAST_SCALED_FLOAT
#include <stb_vorbis.h>
