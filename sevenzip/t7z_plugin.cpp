#include "sevenzip/t7z_plugin.h"

#include "platform/error.h"
#include "sevenzip/result.h"

namespace coffer::sevenzip {

T7zPlugin::T7zPlugin(const std::string& module_path) : path_(module_path) {
  auto module = std::make_shared<Module>(module_path);
  if (!module->loaded()) throw Error("Error loading library " + module_path);
  create_object_ = reinterpret_cast<CreateObjectFunc>(module->Symbol("CreateObject"));
  // Leaving here releases the module again: nothing else holds it yet.
  if (!create_object_) throw Error(module_path + " is not a 7z library");
  module_ = std::move(module);
}

T7zPlugin::~T7zPlugin() = default;

uint32_t T7zPlugin::ReleasePlugin() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

void T7zPlugin::CreateEngineObject(const Guid& class_id, const Guid& interface_id, void** object) {
  *object = nullptr;
  const int32_t result = create_object_(&class_id, &interface_id, object);
  if (result < 0) ThrowResult(result);
}

}  // namespace coffer::sevenzip
