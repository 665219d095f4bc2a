#include "platform/VectorPicture.h"

#include <algorithm>

TVectorPicture::TVectorPicture(int Width, int Height) : FWidth(std::max(0, Width)), FHeight(std::max(0, Height)) {}
