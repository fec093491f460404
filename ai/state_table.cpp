// The state table and the registry built from it at game start.
#include "ai/states.h"

// Rows by id; their flags are the object checks the runner makes.
const AIStateDef AiStateTable[kTableStates + 1] = {
    {"Null", dunai_Null, 0, 0x00},
    {"Default", dunai_Default, 1, 0x00},
    {"df_testPrey", dunai_df_testPrey, 2, 0x00},
    {"df_chasePrey", dunai_df_chasePrey, 3, 0x00},
    {"df_baseState", dunai_df_baseState, 4, 0x01},
    {"df_newPrey", dunai_df_newPrey, 5, 0x00},
    {"hd_moveAway", dunai_hd_moveAway, 6, 0x00},
    {"hideFrom", dunai_hideFrom, 7, 0x00},
    {"hd_hideAux", dunai_hd_hideAux, 8, 0x00},
    {"TestingState", dunai_TestingState, 9, 0x00},
    {"MoveToStop", dunai_MoveToStop, 10, 0x00},
    {"MoveToStopRelative", dunai_MoveToStopRelative, 11, 0x01},
    {"MoveToStopAlmostRelative", dunai_MoveToStopAlmostRelative, 12, 0x01},
    {"UnDock", dunai_UnDock, 13, 0x00},
    {"DockingBaseState", dunai_DockingBaseState, 14, 0x29},
    {"DockingDemolishState", dunai_DockingDemolishState, 15, 0x29},
    {"dk_orientate", dunai_dk_orientate, 16, 0x21},
    {"dk_finalAproach", dunai_dk_finalAproach, 17, 0x21},
    {"LagrangeState", dunai_LagrangeState, 18, 0x09},
    {"MatchVelState", dunai_MatchVelState, 19, 0x11},
    {"GenericOffensiveState", dunai_GenericOffensiveState, 20, 0x0f},
    {"off_Close", dunai_off_Close, 21, 0x07},
    {"off_FireAtWill", dunai_off_FireAtWill, 22, 0x07},
    {"UmovingGuardState", dunai_UmovingGuardState, 23, 0x00},
    {"DefNetGuardState", dunai_DefNetGuardState, 24, 0x00},
    {"Gun_lead_motion", dunai_Gun_lead_motion, 25, 0x07},
    {"ConstantFire", dunai_ConstantFire, 26, 0x00},
    {"Retaliation", dunai_Retaliation, 27, 0x00},
    {"DefendMothership", dunai_DefendMothership, 28, 0x00},
    {"LDADeffTwo", dunai_LDADeffTwo, 29, 0x00},
    {"RotationalDeff", dunai_RotationalDeff, 30, 0x00},
    {"TailBitingState", dunai_TailBitingState, 31, 0x12},
    {"FaceAttackState", dunai_FaceAttackState, 32, 0x12},
    {"CombatAchieveRange", dunai_CombatAchieveRange, 33, 0x07},
    {"CombatState", dunai_CombatState, 34, 0x0f},
    {"SelfPreservationState", dunai_SelfPreservationState, 35, 0x07},
    {"WeaponsPassState", dunai_WeaponsPassState, 36, 0x0a},
    {"BigBombState", dunai_BigBombState, 37, 0x00},
    {"DroneTarget", dunai_DroneTarget, 38, 0x00},
    {"DroneMovingTarget", dunai_DroneMovingTarget, 39, 0x00},
    {"DroneChasingTarget", dunai_DroneChasingTarget, 40, 0x00},
    {"OrbitalAttack", dunai_OrbitalAttack, 41, 0x00},
    {"DeflectorState", dunai_DeflectorState, 42, 0x00},
    {"CombatFollower", dunai_CombatFollower, 43, 0x00},
    {"PlayerFollower", dunai_FollowPlayerState, 44, 0x00},
    {"CombatOnce", dunai_CombatOnce, 45, 0x0a},
    {"WingmanCombatOnce", dunai_WingmanCombatOnce, 46, 0x00},
    {"PointAtState", dunai_PointAtState, 47, 0x00},
    {"SimplePursuit", dunai_SimplePursuit, 48, 0x00},
    {"AchieveRange", dunai_AchieveRange, 49, 0x11},
    {"AchieveFieldRangeState", dunai_AchieveFieldRangeState, 50, 0x11},
    {"EscortState", dunai_EscortState, 51, 0x00},
    {"CapsuleState", dunai_CapsuleState, 52, 0x00},
    {"AggroEscortState", dunai_AggroEscortState, 53, 0x12},
    {"BusDriver", dunai_BusDriver, 54, 0x00},
    {"BusDriverNotStopping", dunai_BusDriverNotStopping, 55, 0x00},
    {"Loiter", dunai_Loiter, 56, 0x00},
    {"tst_FlyBackwards", dunai_tst_FlyBackwards, 57, 0x00},
    {"tst_FlyFowards", dunai_tst_FlyFowards, 58, 0x00},
    {"tst_HoldFormation", dunai_tst_HoldFormation, 59, 0x00},
    {"EscapeState", dunai_EscapeState, 60, 0x00},
    {"esc_Flee", dunai_esc_Flee, 61, 0x07},
    {"AcquireTarget", dunai_AcquireTarget, 62, 0x00},
    {"DoNothingState", dunai_DoNothingState, 63, 0x00},
    {"DriftState", dunai_DriftState, 64, 0x00},
    {"MissileState", dunai_MissileState, 65, 0x07},
    {"DumbMissileState", dunai_DumbMissileState, 66, 0x00},
    {"FullStop", dunai_FullStop, 67, 0x00},
    {"MaintainStop", dunai_MaintainStop, 68, 0x00},
    {"FullStopRelative", dunai_FullStopRelative, 69, 0x01},
    {"LDS to NavTarget", dunai_LDSToNavTarget, 70, 0x09},
    {"LDS Approach", dunai_LDSApproach, 71, 0x01},
    {"Enter LDS", dunai_EnterLDS, 72, 0x00},
    {"LDS Escort", dunai_LDSEscort, 73, 0x01},
    {"LDSFlight", dunai_LDSFlight, 74, 0x09},
    {"Straight LDS", dunai_StraightLDS, 75, 0x00},
    {"SeekOrbitalSpeed", dunai_SeekOrbitalSpeed, 76, 0x00},
    {"HarpoonTargetedState", dunai_HarpoonTargetedState, 77, 0x00},
    {"Watch", dunai_Watch, 78, 0x00},
    {nullptr, nullptr, 0, 0},
};

StateHandler AiStateHandlers[kStateIds];
const char *AiStateNames[kStateIds];
uint32_t AiStateFlags[kStateIds];

bool dunai_RegisterState(uint32_t id, const char *name, StateHandler handler, uint32_t flags) {
    if (id >= uint32_t(kStateIds)) return false;
    AiStateHandlers[id] = handler;
    AiStateNames[id] = name;
    AiStateFlags[id] = flags;
    return true;
}

void dunai_InitStateRegistry() {
    for (uint32_t id = 0; id < uint32_t(kStateIds); ++id)
        for (const AIStateDef *row = AiStateTable; row->handler; ++row)
            if (row->id == id) dunai_RegisterState(id, row->name, row->handler, row->flags);
}
