#include "platform/gl/gl_program.h"

#include <vector>

namespace bf {
namespace {

std::string FirstLine(std::string log) {
  std::size_t end = log.find('\n');
  return end == std::string::npos ? log : log.substr(0, end);
}

GLuint CompileStage(GLenum stage, const char* source, std::string* log) {
  GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> text(length > 0 ? length : 1, '\0');
  glGetShaderInfoLog(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
  *log = FirstLine(text.data());
  glDeleteShader(shader);
  return 0;
}

}  // namespace

GLuint BuildProgram(const char* name, const char* vertexSource, const char* fragmentSource,
                    std::string* error) {
  std::string log;
  GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, &log);
  if (!vertex) {
    *error = std::string("vertex shader '") + name + "' does not compile: " + log;
    return 0;
  }
  GLuint fragment = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, &log);
  if (!fragment) {
    glDeleteShader(vertex);
    *error = std::string("fragment shader '") + name + "' does not compile: " + log;
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok) return program;
  GLint length = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> text(length > 0 ? length : 1, '\0');
  glGetProgramInfoLog(program, static_cast<GLsizei>(text.size()), nullptr, text.data());
  glDeleteProgram(program);
  *error = std::string("shader program '") + name + "' does not link: " + FirstLine(text.data());
  return 0;
}

}  // namespace bf
