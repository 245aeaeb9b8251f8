// The route the latency is measured on: 1,000 points on a 40 by 25 grid
// 0.01 degree apart and a TURN waypoint on each.
export const LARGE_ROUTE_WAYPOINTS = 1000;

export function largeRouteText() {
  const lines = ['BEGIN_POINTS'];
  for (let i = 0; i < LARGE_ROUTE_WAYPOINTS; ++i)
    lines.push(`${(10 + 0.01 * (i % 40)).toFixed(2)} ${(52 + 0.01 * Math.floor(i / 40)).toFixed(2)}`);
  lines.push('END_POINTS', 'BEGIN_RUNWAYS', '-1 -1', 'END_RUNWAYS', 'BEGIN_WAYPOINTS');
  for (let i = 0; i < LARGE_ROUTE_WAYPOINTS; ++i) lines.push(`POINT ${i} TURN 300 500 80 "wp ${i}"`);
  lines.push('END_WAYPOINTS', '');
  return lines.join('\n');
}
