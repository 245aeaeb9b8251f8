// The host's vessel interface. The host owns every VESSEL; the module only
// borrows pointers to them and never deletes one.
#pragma once

#include "host/host_types.h"

inline namespace host_interface {

class VESSEL {
 public:
  explicit VESSEL(OBJHANDLE hVessel) : hVessel(hVessel) {}
  virtual ~VESSEL();

  OBJHANDLE GetHandle() const;
  // longitude [rad], latitude [rad], distance from the body's centre [m]
  OBJHANDLE GetEquPos(double& longitude, double& latitude, double& radius) const;
  void GetStatus(VESSELSTATUS& status) const;
  double GetAltitude() const;  // [m] above the mean surface
  double GetAirspeed() const;  // [m/s]
  // The three touchdown points in the vessel's own frame [m], y vertical.
  bool GetTouchdownPoints(VECTOR3& pt1, VECTOR3& pt2, VECTOR3& pt3) const;
  DWORD GetNavCount() const;
  NAVHANDLE GetNavSource(DWORD receiver) const;  // null when not tuned

 protected:
  OBJHANDLE hVessel;
};

}  // namespace host_interface
