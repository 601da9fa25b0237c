#pragma once
// A pixel rectangle of the drawing layer: left and top inside, right and bottom just outside.

struct DRAW_Rect
{
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
