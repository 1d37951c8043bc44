#pragma once

#include "course/CourseText.h"
#include "platform/input/KeyboardLayouts.h"

// The course's words and phrases, compiled into the program for every keyboard. A keyboard's are unpacked and read
// the first time its course needs them, then kept until another keyboard's are asked for.
const course::Material &CourseMaterial(layouts::Layout layout);
