#pragma once

#include <string>

class TDXDraw;

// The target line: the lesson's text in yellow on black, with the part typed correctly in red over it, both
// from the surface's top-left corner in Times New Roman 14.

// Redraws the line with the typed prefix in red and presents it.
void DrawTargetLine(TDXDraw &surface, const std::string &typed, const std::string &target);

// The first drawing of a lesson: the whole text in yellow, without a text background; presented.
void DrawLessonFirstLine(TDXDraw &surface, const std::string &target);
