#include "sevenzip/t7z_plugin.h"

#include "platform/error.h"
#include "sevenzip/result.h"
#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {
namespace {

// The factory entry exactly as the module declares it (types and calling
// convention): a call through a pointer of another function type is
// undefined even where the layouts agree, and on 32-bit Windows the
// convention decides who pops the arguments. Kept here so that users of
// the plugin's header never see the library's types.
using CreateObjectFunc = HRESULT(STDAPICALLTYPE*)(const GUID* class_id, const GUID* interface_id, void** object);

}  // namespace

T7zPlugin::T7zPlugin(const std::string& module_path) : path_(module_path) {
  auto module = std::make_shared<Module>(module_path);
  if (!module->loaded()) throw Error("Error loading library " + module_path);
  create_object_ = module->Symbol("CreateObject");
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
  const auto create = reinterpret_cast<CreateObjectFunc>(create_object_);
  const int32_t result = create(&AsGuid(class_id), &AsGuid(interface_id), object);
  if (result < 0) ThrowResult(result);
}

}  // namespace coffer::sevenzip
