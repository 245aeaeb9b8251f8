// The planner's page.
