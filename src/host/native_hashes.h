// The game natives the plug-in calls: each hash once, named for what it does
// here, with the name the game's public native reference gives it beside it.
// Every call goes through CallNative (host/natives.h).
#pragma once

#include <cstdint>

namespace game_natives {

// clang-format off
// AUDIO
constexpr std::uint64_t kSoundPlayNative            = 0x67C540AA08E4A6F5;  // AUDIO::PLAY_SOUND_FRONTEND
constexpr std::uint64_t kSoundPrepareNative         = 0x0F2A2175734926D8;  // AUDIO::_STOP_SOUND_WITH_NAME

// CAM
constexpr std::uint64_t kCreateCameraNative         = 0x57CDF879EA466C46;  // CAM::CREATE_CAMERA
constexpr std::uint64_t kDestroyCameraNative        = 0x4E67E0B6D7FD5145;  // CAM::DESTROY_CAM
constexpr std::uint64_t kFirstSceneFrameNative      = 0x9C473089A934C930;  // CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE
constexpr std::uint64_t kCameraExistsNative         = 0x153AD457764FD704;  // CAM::DOES_CAM_EXIST
constexpr std::uint64_t kCameraPointAtNative        = 0xFC2867E6074D3A61;  // CAM::POINT_CAM_AT_ENTITY
constexpr std::uint64_t kScriptCameraRenderNative   = 0x33281167E4942E4F;  // CAM::RENDER_SCRIPT_CAMS
constexpr std::uint64_t kCameraActiveNative         = 0x87295BCA613800C8;  // CAM::SET_CAM_ACTIVE
constexpr std::uint64_t kCameraPositionNative       = 0xF9EE7D419EE49DE6;  // CAM::SET_CAM_COORD
constexpr std::uint64_t kSecondSceneFrameNative     = 0x8370D34BD2E60B73;  // CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME

// ENTITY
constexpr std::uint64_t kCharacterSwitchNative      = 0x7D9EFB7AD6B19754;  // ENTITY::FREEZE_ENTITY_POSITION
constexpr std::uint64_t kEntityPositionNative       = 0xA86D5F069399F44D;  // ENTITY::GET_ENTITY_COORDS
constexpr std::uint64_t kEntityForwardNative        = 0x2412D9C05BB09B97;  // ENTITY::GET_ENTITY_FORWARD_VECTOR
constexpr std::uint64_t kEntityModelNative          = 0xDA76A9F39210D365;  // ENTITY::GET_ENTITY_MODEL
constexpr std::uint64_t kCharacterCheckNative       = 0x7D5B1F88E7504BBA;  // ENTITY::IS_ENTITY_DEAD
constexpr std::uint64_t kCharacterNativeB           = 0x9587913B9E772D29;  // ENTITY::PLACE_ENTITY_ON_GROUND_PROPERLY

// GRAPHICS
constexpr std::uint64_t kEffectNativeB              = 0x4102732DF6B4005F;  // GRAPHICS::ANIMPOSTFX_PLAY
constexpr std::uint64_t kSceneOpenNative            = 0x66560A0D4C64FD21;  // GRAPHICS::ANIMPOSTFX_STOP_ALL
constexpr std::uint64_t kDrawLightNative            = 0xD2D9E04C0DF927F4;  // GRAPHICS::DRAW_LIGHT_WITH_RANGE
constexpr std::uint64_t kDrawSpriteNative           = 0xC9884ECADE94CB34;  // GRAPHICS::DRAW_SPRITE
constexpr std::uint64_t kEffectQueryNative          = 0xBF2DD155B2ADCD0A;  // GRAPHICS::_ANIMPOSTFX_HAS_LOADED
constexpr std::uint64_t kEffectNativeA              = 0x5199405EABFBD7F0;  // GRAPHICS::_ANIMPOSTFX_PRELOAD_POSTFX
constexpr std::uint64_t kEffectNativeC              = 0x37D7BDBA89F13959;  // GRAPHICS::_ANIMPOSTFX_SET_TO_UNLOAD

// HUD
constexpr std::uint64_t kHudContextOffNative        = 0x8BC7C1F929D07BF3;  // HUD::_DISABLE_HUD_CONTEXT
constexpr std::uint64_t kHudContextOnNative         = 0x4CC5F2FC1332577F;  // HUD::_ENABLE_HUD_CONTEXT
constexpr std::uint64_t kPromptCompletedNative      = 0xC92AC953F0A982AE;  // HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED
constexpr std::uint64_t kPromptActiveNative         = 0x347469FBDD1589A9;  // HUD::_UI_PROMPT_IS_VALID
constexpr std::uint64_t kPromptCreateNative         = 0x04F97DE45A519419;  // HUD::_UI_PROMPT_REGISTER_BEGIN
constexpr std::uint64_t kPromptFinishNative         = 0xF7AA2696A22AD8B9;  // HUD::_UI_PROMPT_REGISTER_END
constexpr std::uint64_t kPromptClearNative          = 0xDC6C55DFA2C24EE5;  // HUD::_UI_PROMPT_RESTART_MODES
constexpr std::uint64_t kPromptGroupNative          = 0x560E76D5E2E1803F;  // HUD::_UI_PROMPT_SET_ATTRIBUTE
constexpr std::uint64_t kPromptControlNative        = 0xB5352B7494A08258;  // HUD::_UI_PROMPT_SET_CONTROL_ACTION
constexpr std::uint64_t kSecondPromptStateNative    = 0x8A0FB4D03A630D21;  // HUD::_UI_PROMPT_SET_ENABLED
constexpr std::uint64_t kPromptPriorityNative       = 0xCA24F528D0D16289;  // HUD::_UI_PROMPT_SET_PRIORITY
constexpr std::uint64_t kPromptModeNative           = 0xCC6656799977741B;  // HUD::_UI_PROMPT_SET_STANDARD_MODE
constexpr std::uint64_t kPromptTextNative           = 0x5DD02A8318420DD7;  // HUD::_UI_PROMPT_SET_TEXT
constexpr std::uint64_t kFirstPromptStateNative     = 0x71215ACCFDE075EE;  // HUD::_UI_PROMPT_SET_VISIBLE

// MAP
constexpr std::uint64_t kMenuStateNative            = 0x1B3DA717B9AFF828;  // MAP::DISPLAY_RADAR

// MISC
constexpr std::uint64_t kKeyboardDoneNative         = 0x58A39BE597CE99CD;  // MISC::CANCEL_ONSCREEN_KEYBOARD
constexpr std::uint64_t kKeyboardOpenNative         = 0x044131118D8DB3CD;  // MISC::DISPLAY_ONSCREEN_KEYBOARD
constexpr std::uint64_t kNameHashNative             = 0xFD340785ADF8CFB7;  // MISC::GET_HASH_KEY
constexpr std::uint64_t kKeyboardResultNative       = 0xAFB4CF58A4A292B1;  // MISC::GET_ONSCREEN_KEYBOARD_RESULT
constexpr std::uint64_t kTextNullNative             = 0x375F5870A7B8BEC1;  // MISC::IS_STRING_NULL_OR_EMPTY_OR_SPACES
constexpr std::uint64_t kKeyboardStatusNative       = 0x37DF360F235A3893;  // MISC::UPDATE_ONSCREEN_KEYBOARD
constexpr std::uint64_t kVariableStringNative       = 0xFA925AC00EB830B9;  // MISC::VAR_STRING

// PAD
constexpr std::uint64_t kControlsOffNative          = 0x5F4B6931816E599B;  // PAD::DISABLE_ALL_CONTROL_ACTIONS
constexpr std::uint64_t kControlSuppressionNative   = 0xFE99B66D079CF6BC;  // PAD::DISABLE_CONTROL_ACTION
constexpr std::uint64_t kControlOnNative            = 0x351220255D64C155;  // PAD::ENABLE_CONTROL_ACTION
constexpr std::uint64_t kControlNative              = 0x580417101DDB492F;  // PAD::IS_CONTROL_JUST_PRESSED
constexpr std::uint64_t kSecondOpenChordNative      = 0x50F940259D3841E6;  // PAD::IS_CONTROL_JUST_RELEASED
constexpr std::uint64_t kSideControlNative          = 0x91AEF906BCA88877;  // PAD::IS_DISABLED_CONTROL_JUST_PRESSED
constexpr std::uint64_t kFirstOpenChordNative       = 0xE2587F8CBBD87B1D;  // PAD::IS_DISABLED_CONTROL_PRESSED
constexpr std::uint64_t kInputSourceNative          = 0xA571D46727E2B718;  // PAD::IS_USING_KEYBOARD_AND_MOUSE

// PATHFIND
constexpr std::uint64_t kAreaOptionNative           = 0x19C7567D2F2287D6;  // PATHFIND::_ADD_NAVMESH_BLOCKING_VOLUME
constexpr std::uint64_t kSecondAreaReleaseNative    = 0x2C87C3E1C7B96EE2;  // PATHFIND::_REMOVE_NAVMESH_BLOCKING_VOLUME

// PED
constexpr std::uint64_t kCharacterNativeC           = 0xE952D6431689AD9A;  // PED::CLONE_PED_TO_TARGET
constexpr std::uint64_t kCharacterNativeD           = 0x2208438012482A1A;  // PED::FORCE_PED_AI_AND_ANIMATION_UPDATE
constexpr std::uint64_t kCompanionRemoveNative      = 0x31D16B74C6E29D66;  // PED::REMOVE_SCENARIO_BLOCKING_AREA
constexpr std::uint64_t kAreaCompanionNative        = 0x4C39C95AE5DB1329;  // PED::_ADD_SCENARIO_BLOCKING_VOLUME
constexpr std::uint64_t kPutOnItemNative            = 0xD3A7B003ED343FD9;  // PED::_APPLY_SHOP_ITEM_TO_PED
constexpr std::uint64_t kOutfitCheckNative          = 0xC0E880B7A441164D;  // PED::_DOES_META_PED_OUTFIT_EXIST_FOR_PED_MODEL
constexpr std::uint64_t kOutfitPresetNative         = 0x1902C4CFCC5BE57C;  // PED::_EQUIP_META_PED_OUTFIT
constexpr std::uint64_t kCompanionExistsNative      = 0x91A5F9CBEBB9D936;  // PED::_IS_SCENARIO_BLOCKING_AREA_VALID
constexpr std::uint64_t kClothingResetNative        = 0x0BFA1BD465CDFEFD;  // PED::_RESET_PED_COMPONENTS
constexpr std::uint64_t kOutfitSettleNative         = 0xAAB86462966168CE;  // PED::_SET_ACTIVE_META_PED_COMPONENTS_UPDATED
constexpr std::uint64_t kAppearanceRefreshNative    = 0xCC8CA3E88256E58F;  // PED::_UPDATE_PED_VARIATION
constexpr std::uint64_t kItemStateNative            = 0x66B957AAC2EAAEAB;  // PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE

// PLAYER
constexpr std::uint64_t kPlayerIdNative             = 0x217E9DC48139933D;  // PLAYER::PLAYER_ID
constexpr std::uint64_t kPlayerCharacterNative      = 0x096275889B8E0EE0;  // PLAYER::PLAYER_PED_ID
constexpr std::uint64_t kPlayerSwitchNativeA        = 0x34630A768925B852;  // PLAYER::SET_EVERYONE_IGNORE_PLAYER
constexpr std::uint64_t kPlayerSwitchNativeB        = 0xFEBEEBC9CBDF4B12;  // PLAYER::SET_PLAYER_INVINCIBLE

// POPULATION
constexpr std::uint64_t kAreaSetupNative            = 0xB56D41A694E42E86;  // POPULATION::_ADD_AMBIENT_AVOIDANCE_RESTRICTION
constexpr std::uint64_t kFirstAreaReleaseNative     = 0x74C2B3DC0B294102;  // POPULATION::_REMOVE_AMBIENT_AVOIDANCE_RESTRICTION

// TASK
constexpr std::uint64_t kCharacterNativeA           = 0xAAA34F8A7CB32098;  // TASK::CLEAR_PED_TASKS_IMMEDIATELY

// UIDEBUG
constexpr std::uint64_t kDrawTextNative             = 0x16794E044C9EFB58;  // UIDEBUG::_BG_DISPLAY_TEXT
constexpr std::uint64_t kTextColourNative           = 0x16FA5CE47F184F1E;  // UIDEBUG::_BG_SET_TEXT_COLOR

// UILOG
constexpr std::uint64_t kNotificationShowNative     = 0xDFF0D417277B41F8;  // UILOG::_UILOG_CLEAR_CACHED_OBJECTIVE
constexpr std::uint64_t kNotificationLayoutNative   = 0xA3108D6981A5CADB;  // UILOG::_UILOG_CLEAR_HAS_DISPLAYED_CACHED_OBJECTIVE
constexpr std::uint64_t kNotificationCommitNative   = 0xE9990552DEC71600;  // UILOG::_UILOG_PRINT_CACHED_OBJECTIVE
constexpr std::uint64_t kNotificationTextNative     = 0xFA233F8FE190514C;  // UILOG::_UILOG_SET_CACHED_OBJECTIVE

// VOLUME
constexpr std::uint64_t kBoxAreaNative              = 0xB3FB80A32BAE3065;  // VOLUME::CREATE_VOLUME_SPHERE
constexpr std::uint64_t kDeleteAreaNative           = 0x43F867EF5C463A53;  // VOLUME::DELETE_VOLUME
constexpr std::uint64_t kAreaExistsNative           = 0x92A78D0BEDB332A3;  // VOLUME::DOES_VOLUME_EXIST
// clang-format on

}  // namespace game_natives
