#include "tools/vxpack/project/package_writer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vexil::project {

void writePackage(const std::string& stubPath, const std::string& outputPath, const BuiltPackage& package) {
  std::error_code error;
  std::filesystem::copy_file(stubPath, outputPath, std::filesystem::copy_options::overwrite_existing, error);
  if (error) throw std::runtime_error("cannot copy the runtime stub " + stubPath + " to " + outputPath + ": " +
                                      error.message());
  // A stub is read-only when installed from a read-only place; its copy must be writable.
  std::filesystem::permissions(outputPath, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                               error);
  try {
    writeResourcesInto(outputPath, package.resources, true);
  } catch (const std::runtime_error& e) {
    std::filesystem::remove(outputPath, error);  // no half-made saver is left behind
    throw std::runtime_error("the runtime stub " + stubPath + " cannot take the package: " + e.what());
  }
  if (package.archive.empty()) return;
  std::ofstream out(outputPath, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(package.archive.data()), std::streamsize(package.archive.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot append the additional files to " + outputPath);
}

}  // namespace vexil::project
