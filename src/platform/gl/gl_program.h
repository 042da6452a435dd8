#pragma once
// Compiling and linking GLSL programs, with the driver's log in the error on failure.
#include <epoxy/gl.h>

#include <string>

namespace bf {

// Returns 0 and one line naming `name` in *error when a stage fails to compile or link.
GLuint BuildProgram(const char* name, const char* vertexSource, const char* fragmentSource,
                    std::string* error);

}  // namespace bf
