// stb_image's implementation, compiled once for the renderer.
#define STB_IMAGE_IMPLEMENTATION
#include "player/render/stb_image_use.h"
