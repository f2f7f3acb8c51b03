// Natively, resources go into the program through the portable PE writer.
#include <stdexcept>

#include "platform/file_system.h"
#include "tools/vxpack/pe/pe_resources.h"
#include "tools/vxpack/project/package_writer.h"

namespace vexil::project {

void writeResourcesInto(const std::string& programPath, const std::vector<PackageResource>& resources,
                        bool dropPackageTypes) {
  auto image = platform::readWholeFile(programPath);
  if (!image) throw std::runtime_error("cannot read " + programPath);
  try {
    pe::ResourceTable table = pe::readResources(*image);
    if (dropPackageTypes)
      std::erase_if(table, [](auto& item) {
        for (const char* type : kPackageTypes)
          if (item.first.type == pe::ResourceId::of(type)) return true;
        return false;
      });
    for (const PackageResource& r : resources)
      table[pe::ResourceKey{pe::ResourceId::of(r.type), pe::ResourceId::of(r.name), 0}] = pe::ResourceData{r.bytes, 0};
    auto written = pe::writeResources(*image, table);
    if (!platform::writeWholeFile(programPath, written.data(), written.size()))
      throw std::runtime_error("cannot write " + programPath);
  } catch (const pe::PeError& e) {
    throw std::runtime_error(programPath + ": " + e.what());
  }
}

}  // namespace vexil::project
