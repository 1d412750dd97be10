// TTempDir: a fresh folder under the system temp folder for one test, removed
// with everything in it when the object goes out of scope. Test thread only.
#pragma once

#include <string>

namespace ooa::test {

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The folder, without trailing '/'.
  const std::string& Path() const { return Dir; }
  // Path() + "/" + name.
  std::string File(const std::string& name) const { return Dir + "/" + name; }
  // Makes the folder `name` in it, its owner's only (mode 0700 on Linux), and
  // returns its path.
  std::string Folder(const std::string& name) const;
  // Writes bytes to a file in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // The bytes of a file (empty when missing).
  static std::string Read(const std::string& path);

 private:
  std::string Dir;
};

}  // namespace ooa::test
