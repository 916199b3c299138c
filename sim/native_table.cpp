#include "sim/native_table.h"

#include <algorithm>
#include <string>

namespace sim {

namespace {

using R = ResultKind;

// The facts below are copied from the game's public native reference (the
// community native database): each row's comment gives the parameters and
// result as the reference writes them. Handles (Ped, Entity, Cam, Volume,
// Player, Prompt) and Any are ints to the script. IS_STRING_NULL_OR_EMPTY_OR_SPACES
// exists to test a text for null, so null is fair there. The texts that
// _BG_DISPLAY_TEXT and _UI_PROMPT_SET_TEXT take are the game's own strings,
// made by VAR_STRING.
// clang-format off
const NativeEntry kNatives[] = {
    // (const char* audioName, const char* audioRef, BOOL p2, Any p3) -> void
    {0x67C540AA08E4A6F5, "AUDIO::PLAY_SOUND_FRONTEND", "ssbi", 0, R::Void},
    // (const char* audioName, const char* audioRef) -> void
    {0x0F2A2175734926D8, "AUDIO::_STOP_SOUND_WITH_NAME", "ss", 0, R::Void},
    // (Hash camHash, BOOL p1) -> Cam
    {0x57CDF879EA466C46, "CAM::CREATE_CAMERA", "hb", 0, R::Int},
    // (Cam cam, BOOL p1) -> void
    {0x4E67E0B6D7FD5145, "CAM::DESTROY_CAM", "ib", 0, R::Void},
    // () -> void
    {0x9C473089A934C930, "CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE", "", 0, R::Void},
    // (Cam cam) -> BOOL
    {0x153AD457764FD704, "CAM::DOES_CAM_EXIST", "i", 0, R::Bool},
    // (Cam cam, Entity entity, float p2, float p3, float p4, BOOL p5) -> void
    {0xFC2867E6074D3A61, "CAM::POINT_CAM_AT_ENTITY", "iifffb", 0, R::Void},
    // (BOOL render, BOOL ease, int easeTime, BOOL p3, BOOL p4, int renderingFlags) -> void
    {0x33281167E4942E4F, "CAM::RENDER_SCRIPT_CAMS", "bbibbi", 0, R::Void},
    // (Cam cam, BOOL active) -> void
    {0x87295BCA613800C8, "CAM::SET_CAM_ACTIVE", "ib", 0, R::Void},
    // (Cam cam, float posX, float posY, float posZ) -> void
    {0xF9EE7D419EE49DE6, "CAM::SET_CAM_COORD", "ifff", 0, R::Void},
    // () -> void
    {0x8370D34BD2E60B73, "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME", "", 0, R::Void},
    // (Entity entity, BOOL toggle) -> void
    {0x7D9EFB7AD6B19754, "ENTITY::FREEZE_ENTITY_POSITION", "ib", 0, R::Void},
    // (Entity entity, BOOL alive, BOOL realCoords) -> Vector3
    {0xA86D5F069399F44D, "ENTITY::GET_ENTITY_COORDS", "ibb", 0, R::Vector},
    // (Entity entity) -> Vector3
    {0x2412D9C05BB09B97, "ENTITY::GET_ENTITY_FORWARD_VECTOR", "i", 0, R::Vector},
    // (Entity entity) -> Hash
    {0xDA76A9F39210D365, "ENTITY::GET_ENTITY_MODEL", "i", 0, R::Hash},
    // (Entity entity) -> BOOL
    {0x7D5B1F88E7504BBA, "ENTITY::IS_ENTITY_DEAD", "i", 0, R::Bool},
    // (Entity entity, BOOL p1) -> BOOL
    {0x9587913B9E772D29, "ENTITY::PLACE_ENTITY_ON_GROUND_PROPERLY", "ib", 0, R::Bool},
    // (const char* effectName) -> void
    {0x4102732DF6B4005F, "GRAPHICS::ANIMPOSTFX_PLAY", "s", 0, R::Void},
    // () -> void
    {0x66560A0D4C64FD21, "GRAPHICS::ANIMPOSTFX_STOP_ALL", "", 0, R::Void},
    // (float posX, float posY, float posZ, int colorR, int colorG, int colorB, float range, float
    //   intensity) -> void
    {0xD2D9E04C0DF927F4, "GRAPHICS::DRAW_LIGHT_WITH_RANGE", "fffiiiff", 0, R::Void},
    // (const char* textureDict, const char* textureName, float screenX, float screenY, float width,
    //   float height, float heading, int red, int green, int blue, int alpha, BOOL p11) -> void
    {0xC9884ECADE94CB34, "GRAPHICS::DRAW_SPRITE", "ssfffffiiiib", 0, R::Void},
    // (const char* effectName) -> BOOL
    {0xBF2DD155B2ADCD0A, "GRAPHICS::_ANIMPOSTFX_HAS_LOADED", "s", 0, R::Bool},
    // (const char* effectName) -> void
    {0x5199405EABFBD7F0, "GRAPHICS::_ANIMPOSTFX_PRELOAD_POSTFX", "s", 0, R::Void},
    // (const char* effectName) -> void
    {0x37D7BDBA89F13959, "GRAPHICS::_ANIMPOSTFX_SET_TO_UNLOAD", "s", 0, R::Void},
    // (Hash component) -> void
    {0x8BC7C1F929D07BF3, "HUD::_DISABLE_HUD_CONTEXT", "h", 0, R::Void},
    // (Hash component) -> void
    {0x4CC5F2FC1332577F, "HUD::_ENABLE_HUD_CONTEXT", "h", 0, R::Void},
    // (Prompt prompt, int p1) -> BOOL
    {0xC92AC953F0A982AE, "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED", "ii", 0, R::Bool},
    // (Prompt prompt) -> BOOL
    {0x347469FBDD1589A9, "HUD::_UI_PROMPT_IS_VALID", "i", 0, R::Bool},
    // () -> Prompt
    {0x04F97DE45A519419, "HUD::_UI_PROMPT_REGISTER_BEGIN", "", 0, R::Int},
    // (Prompt prompt) -> void
    {0xF7AA2696A22AD8B9, "HUD::_UI_PROMPT_REGISTER_END", "i", 0, R::Void},
    // (Prompt prompt) -> void
    {0xDC6C55DFA2C24EE5, "HUD::_UI_PROMPT_RESTART_MODES", "i", 0, R::Void},
    // (Prompt prompt, int attribute, BOOL enabled) -> void
    {0x560E76D5E2E1803F, "HUD::_UI_PROMPT_SET_ATTRIBUTE", "iib", 0, R::Void},
    // (Prompt prompt, Hash action) -> Any
    {0xB5352B7494A08258, "HUD::_UI_PROMPT_SET_CONTROL_ACTION", "ih", 0, R::Int},
    // (Prompt prompt, BOOL toggle) -> void
    {0x8A0FB4D03A630D21, "HUD::_UI_PROMPT_SET_ENABLED", "ib", 0, R::Void},
    // (Prompt prompt, int priority) -> void
    {0xCA24F528D0D16289, "HUD::_UI_PROMPT_SET_PRIORITY", "ii", 0, R::Void},
    // (Prompt prompt, BOOL releaseMode) -> void
    {0xCC6656799977741B, "HUD::_UI_PROMPT_SET_STANDARD_MODE", "ib", 0, R::Void},
    // (Prompt prompt, const char* text) -> void
    {0x5DD02A8318420DD7, "HUD::_UI_PROMPT_SET_TEXT", "ig", 0, R::Void},
    // (Prompt prompt, BOOL toggle) -> void
    {0x71215ACCFDE075EE, "HUD::_UI_PROMPT_SET_VISIBLE", "ib", 0, R::Void},
    // (BOOL toggle) -> void
    {0x1B3DA717B9AFF828, "MAP::DISPLAY_RADAR", "b", 0, R::Void},
    // () -> void
    {0x58A39BE597CE99CD, "MISC::CANCEL_ONSCREEN_KEYBOARD", "", 0, R::Void},
    // (int textType, const char* windowTitle, const char* p2, const char* defaultText, const char*
    //   defaultConcat1, const char* defaultConcat2, const char* defaultConcat3, int maxInputLength)
    //   -> void
    {0x044131118D8DB3CD, "MISC::DISPLAY_ONSCREEN_KEYBOARD", "issssssi", 0, R::Void},
    // (const char* string) -> Hash
    {0xFD340785ADF8CFB7, "MISC::GET_HASH_KEY", "s", 0, R::Hash},
    // () -> const char*
    {0xAFB4CF58A4A292B1, "MISC::GET_ONSCREEN_KEYBOARD_RESULT", "", 0, R::Text},
    // (const char* string) -> BOOL
    {0x375F5870A7B8BEC1, "MISC::IS_STRING_NULL_OR_EMPTY_OR_SPACES", "n", 0, R::Bool},
    // () -> int
    {0x37DF360F235A3893, "MISC::UPDATE_ONSCREEN_KEYBOARD", "", 0, R::Int},
    // (int flags, ...) -> const char*
    {0xFA925AC00EB830B9, "MISC::VAR_STRING", "i", 's', R::Text},
    // (int control) -> void
    {0x5F4B6931816E599B, "PAD::DISABLE_ALL_CONTROL_ACTIONS", "i", 0, R::Void},
    // (int control, Hash action, BOOL disableRelatedActions) -> void
    {0xFE99B66D079CF6BC, "PAD::DISABLE_CONTROL_ACTION", "ihb", 0, R::Void},
    // (int control, Hash action, BOOL enableRelatedActions) -> void
    {0x351220255D64C155, "PAD::ENABLE_CONTROL_ACTION", "ihb", 0, R::Void},
    // (int control, Hash action) -> BOOL
    {0x580417101DDB492F, "PAD::IS_CONTROL_JUST_PRESSED", "ih", 0, R::Bool},
    // (int control, Hash action) -> BOOL
    {0x50F940259D3841E6, "PAD::IS_CONTROL_JUST_RELEASED", "ih", 0, R::Bool},
    // (int control, Hash action) -> BOOL
    {0x91AEF906BCA88877, "PAD::IS_DISABLED_CONTROL_JUST_PRESSED", "ih", 0, R::Bool},
    // (int control, Hash action) -> BOOL
    {0xE2587F8CBBD87B1D, "PAD::IS_DISABLED_CONTROL_PRESSED", "ih", 0, R::Bool},
    // (int control) -> BOOL
    {0xA571D46727E2B718, "PAD::IS_USING_KEYBOARD_AND_MOUSE", "i", 0, R::Bool},
    // (Volume volume, int flags) -> BOOL
    {0x19C7567D2F2287D6, "PATHFIND::_ADD_NAVMESH_BLOCKING_VOLUME", "ii", 0, R::Bool},
    // (Volume volume) -> void
    {0x2C87C3E1C7B96EE2, "PATHFIND::_REMOVE_NAVMESH_BLOCKING_VOLUME", "i", 0, R::Void},
    // (Ped ped, Ped targetPed) -> void
    {0xE952D6431689AD9A, "PED::CLONE_PED_TO_TARGET", "ii", 0, R::Void},
    // (Ped ped, BOOL p1, BOOL p2) -> void
    {0x2208438012482A1A, "PED::FORCE_PED_AI_AND_ANIMATION_UPDATE", "ibb", 0, R::Void},
    // (Any p0, BOOL p1) -> void
    {0x31D16B74C6E29D66, "PED::REMOVE_SCENARIO_BLOCKING_AREA", "ib", 0, R::Void},
    // (Volume volume, BOOL p1, int flag) -> Any
    {0x4C39C95AE5DB1329, "PED::_ADD_SCENARIO_BLOCKING_VOLUME", "ibi", 0, R::Int},
    // (Ped ped, Hash componentHash, BOOL immediately, BOOL isMp, BOOL p4) -> void
    {0xD3A7B003ED343FD9, "PED::_APPLY_SHOP_ITEM_TO_PED", "ihbbb", 0, R::Void},
    // (Hash outfit, Hash model) -> BOOL
    {0xC0E880B7A441164D, "PED::_DOES_META_PED_OUTFIT_EXIST_FOR_PED_MODEL", "hh", 0, R::Bool},
    // (Ped ped, Hash hash) -> void
    {0x1902C4CFCC5BE57C, "PED::_EQUIP_META_PED_OUTFIT", "ih", 0, R::Void},
    // (Any p0) -> BOOL
    {0x91A5F9CBEBB9D936, "PED::_IS_SCENARIO_BLOCKING_AREA_VALID", "i", 0, R::Bool},
    // (Ped ped) -> void
    {0x0BFA1BD465CDFEFD, "PED::_RESET_PED_COMPONENTS", "i", 0, R::Void},
    // (Ped ped, BOOL isMP) -> Any
    {0xAAB86462966168CE, "PED::_SET_ACTIVE_META_PED_COMPONENTS_UPDATED", "ib", 0, R::Int},
    // (Ped ped, BOOL p1, BOOL p2, BOOL p3, BOOL p4, BOOL p5) -> void
    {0xCC8CA3E88256E58F, "PED::_UPDATE_PED_VARIATION", "ibbbbb", 0, R::Void},
    // (Ped ped, Hash componentHash, Hash wearableState, int p3, BOOL isMp, int p5) -> void
    {0x66B957AAC2EAAEAB, "PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE", "ihhibi", 0, R::Void},
    // () -> Player
    {0x217E9DC48139933D, "PLAYER::PLAYER_ID", "", 0, R::Int},
    // () -> Ped
    {0x096275889B8E0EE0, "PLAYER::PLAYER_PED_ID", "", 0, R::Int},
    // (Player player, BOOL toggle) -> void
    {0x34630A768925B852, "PLAYER::SET_EVERYONE_IGNORE_PLAYER", "ib", 0, R::Void},
    // (Player player, BOOL toggle) -> void
    {0xFEBEEBC9CBDF4B12, "PLAYER::SET_PLAYER_INVINCIBLE", "ib", 0, R::Void},
    // (Volume volume, int includeFlags, int excludeFlags, Hash p3, Hash p4, Hash p5, int p6) ->
    //   void
    {0xB56D41A694E42E86, "POPULATION::_ADD_AMBIENT_AVOIDANCE_RESTRICTION", "iiihhhi", 0, R::Void},
    // (Volume volume) -> void
    {0x74C2B3DC0B294102, "POPULATION::_REMOVE_AMBIENT_AVOIDANCE_RESTRICTION", "i", 0, R::Void},
    // (Ped ped, BOOL p1, BOOL resetCrouch) -> void
    {0xAAA34F8A7CB32098, "TASK::CLEAR_PED_TASKS_IMMEDIATELY", "ibb", 0, R::Void},
    // (const char* text, float x, float y) -> void
    {0x16794E044C9EFB58, "UIDEBUG::_BG_DISPLAY_TEXT", "gff", 0, R::Void},
    // (int red, int green, int blue, int alpha) -> void
    {0x16FA5CE47F184F1E, "UIDEBUG::_BG_SET_TEXT_COLOR", "iiii", 0, R::Void},
    // () -> void
    {0xDFF0D417277B41F8, "UILOG::_UILOG_CLEAR_CACHED_OBJECTIVE", "", 0, R::Void},
    // () -> void
    {0xA3108D6981A5CADB, "UILOG::_UILOG_CLEAR_HAS_DISPLAYED_CACHED_OBJECTIVE", "", 0, R::Void},
    // () -> void
    {0xE9990552DEC71600, "UILOG::_UILOG_PRINT_CACHED_OBJECTIVE", "", 0, R::Void},
    // (const char* p0) -> void
    {0xFA233F8FE190514C, "UILOG::_UILOG_SET_CACHED_OBJECTIVE", "s", 0, R::Void},
    // (float x, float y, float z, float rotX, float rotY, float rotZ, float scaleX, float scaleY,
    //   float scaleZ) -> Volume
    {0xB3FB80A32BAE3065, "VOLUME::CREATE_VOLUME_SPHERE", "fffffffff", 0, R::Int},
    // (Volume volume) -> void
    {0x43F867EF5C463A53, "VOLUME::DELETE_VOLUME", "i", 0, R::Void},
    // (Volume volume) -> BOOL
    {0x92A78D0BEDB332A3, "VOLUME::DOES_VOLUME_EXIST", "i", 0, R::Bool},
};
// clang-format on

}  // namespace

std::string_view NativeEntry::Namespace() const {
    const std::string_view full(name);
    const std::size_t colons = full.find("::");
    return colons == std::string_view::npos ? std::string_view() : full.substr(0, colons);
}

std::string_view NativeEntry::ShortName() const {
    const std::string_view full(name);
    const std::size_t colons = full.find("::");
    return colons == std::string_view::npos ? full : full.substr(colons + 2);
}

const NativeEntry* FindNativeEntry(std::uint64_t hash) {
    const auto found =
        std::find_if(std::begin(kNatives), std::end(kNatives),
                     [hash](const NativeEntry& entry) { return entry.hash == hash; });
    return found == std::end(kNatives) ? nullptr : found;
}

const NativeEntry* NativeTableBegin() {
    return std::begin(kNatives);
}

const NativeEntry* NativeTableEnd() {
    return std::end(kNatives);
}

}  // namespace sim
