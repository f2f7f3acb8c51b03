#pragma once
// The one place stb_image is configured: decoding from memory only, the formats movies embed.
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>
