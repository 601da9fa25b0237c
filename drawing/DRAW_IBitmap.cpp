#include "drawing/DRAW_IBitmap.h"

DRAW_IBitmap::~DRAW_IBitmap() = default;
