// Model AN records and their strength computation: the test conditions packed in one byte,
// the correction factors, the calibration polynomial and the strength class.
#pragma once

#include "link/kadrel_driver.h"
#include "models/records.h"

#include <QString>

enum TAnchorType : uint8_t { anSmall, anBig };
enum THardeningType : uint8_t { htNormal, htThermal };
enum TAggregateType : uint8_t { agSmall, agBig };
// The instrument can also send 3, which has no name of its own.
enum TMaterialType : uint8_t { mtHeavyConcrete, mtLightConcrete, mtOther };

struct TConditions {
    TAnchorType Anchor = anSmall;
    THardeningType Hardening = htNormal;
    THardeningType ExpectedStrength = htNormal; // carried by the record type, never filled
    TAggregateType Aggregate = agSmall;
    TMaterialType MaterialId = mtHeavyConcrete;
};

// One archive record of model AN and what is computed from it (valid after CalcRecord).
struct TCalcAN : TArchEntryOf<TArchAN> {
    TConditions Conditions;
    float R_mPa[MaxProbes] = {};
    float avg_R_mPa = 0;
    float epsilon = 0; // largest deviation from the mean, percent of the mean
};

// Bits 0, 1, 3 and 4-5 of the conditions byte; the others mean nothing. Leaves
// ExpectedStrength as it is.
void DecodeConditions(uint8_t c, TConditions& conditions);

// Embedment depth of the anchor, millimetres.
int AnchorDepth(TAnchorType anchor);
float TypeFactor(TAnchorType anchor, THardeningType hardening, TMaterialType material);
float AggregateFactor(TAggregateType aggregate, TMaterialType material);
// Correction for an anchor that slipped `slip` mm out of the depth `depth`.
float DepthFactor(int depth, float slip);
float EvalPolynomial(const float (&ax)[3], float x);

// The probes a record really has room for: ProbeCount, but never more than MaxProbes.
int UsedProbes(const TArchAN& record);

// Fills Conditions, R_mPa of the probes, avg_R_mPa and epsilon from ArchRes. A record
// without probes, or with an anchor slipped out by its whole depth, computes to NAN or INF.
void CalcRecord(TCalcAN& record);

// "B 20" and the others, or "???" below class B 2.5 and for values that are not numbers.
const QString& StrengthClass(float r_mPa);
