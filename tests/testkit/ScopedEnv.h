#pragma once

#include <cstdlib>
#include <optional>
#include <string>

/// Sets an environment variable for a scope and puts the old value back (or removes
/// the variable) on destruction.
class CScopedEnv {
public:
  CScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) {
      m_old = old;
    }
    setenv(name, value.c_str(), 1);
  }
  ~CScopedEnv() {
    if (m_old) {
      setenv(m_name, m_old->c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }
  CScopedEnv(const CScopedEnv&) = delete;
  CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
  const char* m_name;
  std::optional<std::string> m_old;
};
