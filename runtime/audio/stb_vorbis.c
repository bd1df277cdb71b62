/* stb_vorbis.c: the one translation unit that holds the Ogg Vorbis decoder's implementation. */
#include <stb_vorbis.h>
