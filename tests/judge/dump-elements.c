  // GAMEDUMP, for the judge tests: every element code a custom element
  // names, and every setting of its base part, as the loader left them.
  {
    int i, j, x, y;
    for (i = 0; i < NUM_CUSTOM_ELEMENTS; i++)
    {
      struct ElementInfo *ei = &element_info[EL_CUSTOM_START + i];
      if (!ei->modified_settings && !level->file_has_custom_elements)
        continue;
      Print("GAMEDUMP ce %d elements enter=%d leave=%d content=", i + 1,
            ei->move_enter_element, ei->move_leave_element);
      for (y = 0; y < 3; y++)
        for (x = 0; x < 3; x++)
          Print("%s%d", (x || y ? "," : ""), ei->content.e[x][y]);
      Print("\n");
      Print("GAMEDUMP ce %d settings access=%d count=%d value=%d/%d/%d push=%d/%d drop=%d/%d"
            " movedelay=%d/%d step=%d/%d stepsize=%d leave_type=%d explosion_type=%d ignition=%d\n",
            i + 1, ei->access_direction, ei->collect_count_initial, ei->ce_value_fixed_initial,
            ei->ce_value_random_initial, ei->use_last_ce_value, ei->push_delay_fixed,
            ei->push_delay_random, ei->drop_delay_fixed, ei->drop_delay_random,
            ei->move_delay_fixed, ei->move_delay_random, ei->step_delay_fixed,
            ei->step_delay_random, ei->move_stepsize, ei->move_leave_type, ei->explosion_type,
            ei->ignition_delay);
      for (j = 0; j < ei->num_change_pages; j++)
      {
        struct ElementChangeInfo *ch = &ei->change_page[j];
        Print("GAMEDUMP ce %d page %d elements action_element=%d content=", i + 1, j,
              ch->action_element);
        for (y = 0; y < 3; y++)
          for (x = 0; x < 3; x++)
            Print("%s%d", (x || y ? "," : ""), ch->target_content.e[x][y]);
        Print("\n");
      }
    }
  }

