#pragma once

#include "course/CourseText.h"

// The course's words and phrases, compiled into the program. They are unpacked and read the first time the
// course needs them, then kept for the rest of the run.
const course::Material &CourseMaterial();
